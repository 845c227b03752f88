#pragma once

#include "util/MessageSink.h"

#include <QStringList>

// Keeps every message instead of showing it.
class RecordingMessageSink : public MessageSink
{
public:
    void ShowWarning(const QString& text) override { warnings.append(text); }
    void ShowInformation(const QString& text) override { informations.append(text); }

    QStringList warnings;
    QStringList informations;
};
