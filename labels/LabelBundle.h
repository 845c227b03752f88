#pragma once

#include "db/Database.h"
#include "util/Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvel {

// The three tables a label bundle carries, in the order its blocks come, and the columns
// that export and import name.
inline const QString kLabelInfoTable = QStringLiteral("tblLabelInfo");
inline const QString kLabelControlsTable = QStringLiteral("tblLabelControls");
inline const QString kLabelControlItemTable = QStringLiteral("tblLabelControlItem");

inline const QString kLabelIdColumn = QStringLiteral("LabelID");
inline const QString kItemIdColumn = QStringLiteral("ItemID");
inline const QString kLabelNoColumn = QStringLiteral("LabelNo");
inline const QString kLineIdColumn = QStringLiteral("LineID");

// Whether a column name of a bundle names the column, as SQL Server matches names: ignoring
// case (a server whose catalogue gives them in lower case exports them so).
bool isColumnNamed(const QString& name, const QString& column);

// Where a column stands in a block's column-name row (isColumnNamed): its first or its last
// occurrence; -1 when it has none.
enum class ColumnOccurrence { First, Last };
qsizetype columnPosition(const TextRow& header, const QString& column, ColumnOccurrence occurrence);

// Every label needs a number: one numbered "" could never be chosen for export again.
inline const QString kEmptyLabelNoText = QStringLiteral("标签不能为空");

// The label bundle file (*.bq): an enciphered UTF-8 text followed by one NUL, holding one
// block per table: "表名:" and the table name, "列名:" and the column names joined by ",",
// then one line per row with its values joined by ",". Every line ends with "\n". Values
// are written as they stand, so the writer must keep out what a line cannot hold
// (checkBlockFitsBundle).

inline const QString kTableNamePrefix = QStringLiteral("表名:");
inline const QString kColumnNamePrefix = QStringLiteral("列名:");

struct BundleBlock
{
    QString tableName;
    TextTable rows; // rows[0] is the column-name row
    // The file's line (from 1) of the table name; 0 for the rows before any table name.
    // Every later line of the file up to the next table name is a row of the block.
    qsizetype nameLine = 0;
    // Whether the line after the table name opens with "列名:", as every writer makes it.
    bool hasColumnNameLine = false;
};

// The file's line of a row of the block (row 0 is the column-name row).
inline qsizetype lineOfRow(const BundleBlock& block, qsizetype row)
{
    return block.nameLine + 1 + row;
}

// Appends the lines of a block, each with its line feed.
void appendBundleBlock(const BundleBlock& block, QStringList* lines);

// The file's bytes for the lines: joined, in UTF-8 with the terminating NUL, enciphered.
QByteArray encodeBundle(const QStringList& lines);

// The bundle text of a file's bytes: deciphered, up to the first NUL.
QString decodeBundle(const QByteArray& file);

// The blocks of a bundle text as the import takes them apart: the text is split at every
// line feed and the last piece is never looked at (a last line without its line feed is
// lost); a line opening with "表名:" starts a block named by the rest of the line; any
// other line is split at every "," into the next row of the current block, the prefix
// "列名:" dropped first. Rows before the first table name form a block without a name,
// present only when there are such rows. Each block knows the line of its table name.
QList<BundleBlock> readBundleText(const QString& text);

// Whether a block can travel in a bundle unchanged. The reader splits at every comma and
// line feed, the text ends at the first NUL, and a row whose first value opens with
// "表名:" or "列名:" would be taken for a header: any of these would put the later values
// of the row into the wrong columns of the target. False with a message naming the table
// and the column when a column name or a value holds such a character or prefix. A
// carriage return is carried as it stands.
Outcome checkBlockFitsBundle(const BundleBlock& block);

// A bundle file taken apart, and every problem that keeps it from being a whole bundle:
// the import refuses the file on the first, a report on the file can list them all.
struct CheckedBundle
{
    QList<BundleBlock> blocks;
    QStringList problems; // empty for a whole bundle
};

// Deciphers and reads a bundle file's bytes as the import does, and checks them against
// what every writer of the format makes: a text that ends in its NUL, its only one; the
// blocks of tblLabelInfo, tblLabelControls and tblLabelControlItem in this order and no
// others, each with its column-name line however few rows it has; every row with as many
// values as its block has column names. A file cut short, one that is no bundle or was
// enciphered with another key, and one edited into CR LF line ends all fail. Names from
// the file are quoted as they stand, a carriage return left at their end included.
CheckedBundle readCheckedBundle(const QByteArray& file);

// What keeps a whole bundle from importing as a label: its tblLabelInfo block has no row, or
// a row with an empty label number.
QStringList labelProblemsOf(const QList<BundleBlock>& blocks);

// What the import says when a block lacks a column that it must replace.
QString missingColumnText(const QString& tableName, const QString& column);

} // namespace korvel
