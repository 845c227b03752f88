#pragma once

#include <QString>

class FileDialogs;
class MessageSink;

// What the dialogs need from outside: where the configuration files lie (the executable's
// directory, with its trailing '/'), where messages go, and the file dialogs.
struct ProgramContext
{
    QString configDirectory;
    MessageSink& messages;
    FileDialogs& fileDialogs;
};
