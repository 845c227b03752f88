#pragma once

#include <QString>

#include <optional>

class MessageSink;

// The connection string of a settings file, read as the program reads its own; on failure
// the settings reader's message has been shown.
std::optional<QString> ConnectionStringOfSettings(const QString& settingsPath, MessageSink& messages);
