#pragma once

#include <QString>

class MessageSink;

// What the dialogs need from outside: where the configuration files lie (the executable's
// directory, with its trailing '/') and where messages go.
struct ProgramContext
{
    QString configDirectory;
    MessageSink& messages;
};
