#pragma once

#include "db/Database.h"
#include "util/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace korvel {

// Labels between plants by the hundred: every label of a database, many labels written to a
// folder of bundles, many bundles imported, and the check of a bundle before its import.

// The name of a label's bundle in a folder of bundles: the label number and ".bq". A
// character no file name holds on Windows or Linux (\ / : * ? " < > | and the control
// characters), the % sign, a blank or dot at either end, and the first character of a name
// Windows keeps for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9) are written as
// % and the two hexadecimal digits of each of their UTF-8 bytes: "A/B" gives "A%2FB.bq", so
// that a number can be read back from its name.
QString bundleFileName(const QString& labelNo);

struct LabelCounts
{
    QString labelNo;
    qint64 controls = 0; // the rows of tblLabelControls its export carries
    qint64 items = 0;    // the rows of tblLabelControlItem
};

// Every label number of the database, sorted as the main window lists them (ignoring case),
// with the rows its export would carry; a failure gives the database's message.
Result<QList<LabelCounts>> listLabels(Database& database);

// What became of one label or file of a batch.
struct BatchOutcome
{
    QString name;   // the label number or the file
    QString reason; // empty when it was done
};

// Told before each label or file: how many of how many are done, and which comes next.
using BatchProgress = std::function<void(qsizetype done, qsizetype total, const QString& next)>;

// Writes each label of the open database to its own bundle in the folder (made when
// missing), named by bundleFileName, each file whole or not at all. Only regular files
// directly inside the folder are written: a link (dangling or not), a directory or any
// other file at a label's name fails that label and is left as it is, as does a number no
// label has. Refused before anything is written, with the reason: an empty label number,
// two numbers that give one file name (compared ignoring case, as Windows compares names),
// a folder that cannot be made. Otherwise the outcome of each label.
Result<QList<BatchOutcome>> exportLabels(Database& database, const QStringList& labelNos,
                                                 const QString& folder, const BatchProgress& progress);

// Imports each file into the open database in its own transaction, going on after a file
// that is refused; a label number that exists already refuses its file (nobody is there to
// give another). The outcome of each file tried: a file that lost the connection to the
// server stops the batch, and the files after it are left out (every label imported before
// stays).
QList<BatchOutcome> importLabels(Database& database, const QStringList& files, const BatchProgress& progress);

// What the check of a bundle file found: every problem, none when the file would import.
struct FileCheck
{
    QString file;
    QStringList problems;
};

// Checks each file as an import of the same files, in the same order, would go: each file
// imported for trial, the same way, inside one transaction that is rolled back at the end;
// a file that would import is kept until then, so that the files after it see it (a label
// number that an earlier file carries refuses a later one). A file would import exactly when
// the import would take it. For a file that would not, every problem found: a file that is
// not a whole bundle or holds no label, rows that do not fit their columns, columns the
// tables do not have, a label number that exists already (with table, column and line), on
// the embedded engine the values the value rules refuse, and otherwise what the trial
// import was refused for (on a server the server decides on a value). Changes nothing.
// Gives the outcome of each file checked: a lost connection, or a trial that cannot be
// taken back alone, stops the check and the files after it are left out. A failure, with
// the files checked so far, when the check's transaction cannot begin or end.
Result<QList<FileCheck>> checkBundles(Database& database, const QStringList& files,
                                              const BatchProgress& progress);

} // namespace korvel
