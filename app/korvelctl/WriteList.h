#pragma once

// What `korvelctl write` is asked to write: one value named by the command's options, or
// many, one a line of a tab-separated file.

#include "util/Outcome.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <optional>

class QCommandLineParser;

namespace korvel {

struct AttributeWrite;

// One value to write: the attribute, the record (a harness or job number) and its child
// (a wire or step), the entry of the attribute's value list; and the line of the file that
// asked for it (0 for the options).
struct RequestedWrite
{
    qsizetype line = 0;
    const AttributeWrite* attribute = nullptr;
    QString number;
    QString child;
    QString entry;
};

inline const QString kFromOption = QStringLiteral("from");
inline const QString kValuesOption = QStringLiteral("values");

// The options of `korvelctl write`: the record, the child, one per attribute, --from and
// --values.
QList<QCommandLineOption> writeOptions();

// The write the options name; nothing when they do not fit one of the forms (an attribute
// of a wire with --harness and --wire, one of a step with --job and --step, exactly one
// attribute, no --from).
std::optional<RequestedWrite> writeFromOptions(const QCommandLineParser& options);

// Whether the options name the file of writes and nothing a single write would name.
bool namesOnlyAFile(const QCommandLineParser& options);

// The writes of a file's text: a line each, "ATTRIBUTE<TAB>NUMBER<TAB>CHILD<TAB>ENTRY" with
// ATTRIBUTE the name of an attribute option (connection-type, test-group, test-mode,
// test-group-2); lines end in LF or CRLF, blank lines are skipped, nothing is trimmed.
// Refused with the line named when a line is not four fields or names no attribute, or
// when there is no line at all.
Result<QList<RequestedWrite>> writesFromText(const QString& text);

} // namespace korvel
