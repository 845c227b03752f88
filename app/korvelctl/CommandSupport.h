#pragma once

// What korvelctl's commands share: what a command is given, where its messages go, how it
// prints values, and the program's own ways to a connection and to a new label number.

#include "app/korvelctl/Korvelctl.h"
#include "db/Database.h"
#include "labels/LabelImport.h"
#include "util/MessageSink.h"
#include "util/Outcome.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>

namespace korvel {

// The options of the commands, by name.
inline const QString kBuildOption = QStringLiteral("build");
inline const QString kShowPasswordOption = QStringLiteral("show-password");
inline const QString kDemoOption = QStringLiteral("demo");
inline const QString kScaleOption = QStringLiteral("scale");
inline const QString kLabelNoOption = QStringLiteral("label-no");
inline const QString kAllOption = QStringLiteral("all");
inline const QString kToOption = QStringLiteral("to");

// One command's words after its name, as the parser took them apart.
struct CommandLine
{
    QStringList arguments; // the positional ones, in order
    const QCommandLineParser& options;
};

struct CommandContext
{
    QTextStream& out;
    QTextStream& err;
    MessageSink& messages;
    bool errIsTerminal = false; // progress of long runs is shown only to a person
};

// The commands. Each gives an exit code; kExitUsage when its words do not fit it, after
// which the caller prints the command's usage.
int runCipherCommand(const CommandLine& line, CommandContext& context);
int runValuesCommand(const CommandLine& line, CommandContext& context);
int runDemoValuesCommand(const CommandLine& line, CommandContext& context);
int runBundleCommand(const CommandLine& line, CommandContext& context);
int runSettingsCommand(const CommandLine& line, CommandContext& context);
int runQueryCommand(const CommandLine& line, CommandContext& context);
int runCreateDbCommand(const CommandLine& line, CommandContext& context);
int runLoadDemoCommand(const CommandLine& line, CommandContext& context);
int runExportCommand(const CommandLine& line, CommandContext& context);
int runImportCommand(const CommandLine& line, CommandContext& context);
int runLabelsCommand(const CommandLine& line, CommandContext& context);
int runCheckCommand(const CommandLine& line, CommandContext& context);

// The exit code of a piece of work: kExitOk, or kExitFailure with its message said.
int exitCodeOf(const Outcome& outcome, CommandContext& context);

// Prints each message on a line of its own, escaped for display.
class StreamMessageSink : public MessageSink
{
public:
    explicit StreamMessageSink(QTextStream& stream) : m_stream(stream) {}

    void showWarning(const QString& text) override;
    void showInformation(const QString& text) override;

private:
    QTextStream& m_stream;
};

// A text from a database or a file as korvelctl prints it: on one line, and nothing in it
// that a terminal would act on. Backslash, tab, CR and LF as \\, \t, \r and \n; the other
// C0 controls, DEL and the C1 controls as \xHH; the bidirectional marks, embeddings,
// overrides and isolates and the line and paragraph separators as \uHHHH.
QString escapeForDisplay(const QString& value);

// One line per row, the values tab-separated, each escaped for display.
void printTextRow(const TextRow& row, QTextStream& out);
void printTextRows(const TextTable& rows, QTextStream& out);

// The one way of the commands that work on a settings file's database: its connection
// string made as the program makes its own, then the work on it, which says whether it
// succeeded. A command that worked prints nothing, and its exit code says that it worked.
int onSettingsDatabase(const QString& settingsPath, CommandContext& context,
                       const std::function<bool(const QString& connectionString, MessageSink& messages)>& work);

// The same on the database opened; a database that does not open is the failure.
int onOpenSettingsDatabase(const QString& settingsPath, CommandContext& context,
                           const std::function<bool(Database& database, MessageSink& messages)>& work);

// The duplicate-label dialog of korvelctl import: answers with the number given by
// --label-no, and refuses as the dialog refuses, with the number followed by "已经存在",
// when none was given or the given one exists too (a command line cannot ask again).
class LabelNoOptionResolver : public DuplicateLabelResolver
{
public:
    LabelNoOptionResolver(std::optional<QString> newLabelNo, MessageSink& messages)
        : m_newLabelNo(std::move(newLabelNo)), m_messages(messages)
    {
    }

    bool resolveDuplicateLabelNo(Database& database, const QString& oldValue, QString& newValue) override;

private:
    std::optional<QString> m_newLabelNo;
    MessageSink& m_messages;
};

// The text a person writes for a value-list file: one "list&entry&value" line per entry,
// lines ending in LF or CRLF, a final ';' on a line allowed, blank lines skipped. Gives
// the file's GBK plaintext (before enciphering), or false and a message naming the
// offending line: one that is not three fields, names no known list, holds a ';' or NUL
// that the file cannot carry, or a character without a GBK form.
[[nodiscard]] bool valueListPlaintextFromLines(const QString& text, QByteArray& plaintext, QString& error);

} // namespace korvel
