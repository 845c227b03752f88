#pragma once

// The korvelctl commands; each gets its arguments after the command name.

#include <QStringList>
#include <QTextStream>

class MessageSink;

struct CommandContext
{
    QTextStream& out;
    QTextStream& err;
    MessageSink& messages;
};

int RunCipherCommand(const QStringList& arguments, CommandContext& context);
int RunValuesCommand(const QStringList& arguments, CommandContext& context);
int RunSettingsCommand(const QStringList& arguments, CommandContext& context);
int RunCreateDbCommand(const QStringList& arguments, CommandContext& context);
int RunDemoValuesCommand(const QStringList& arguments, CommandContext& context);
int RunQueryCommand(const QStringList& arguments, CommandContext& context);
int RunBundleCommand(const QStringList& arguments, CommandContext& context);
int RunExportCommand(const QStringList& arguments, CommandContext& context);
int RunImportCommand(const QStringList& arguments, CommandContext& context);

// Prints "usage: korvelctl <synopsis>" on err and gives the usage exit code.
int UsageError(CommandContext& context, const QString& synopsis);
