#pragma once

#include "db/CAdoDatabase.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The label bundle file (*.bq): an enciphered UTF-8 text followed by one NUL, holding one
// block per table: "表名:" and the table name, "列名:" and the column names joined by ",",
// then one line per row with its values joined by ",". Every line ends with "\n". Values
// are written as they stand, so the writer must keep out what a line cannot hold
// (BundleLimits.h).

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
inline qsizetype LineOfRow(const BundleBlock& block, qsizetype row)
{
    return block.nameLine + 1 + row;
}

// Appends the lines of a block, each with its line feed.
void AppendBundleBlock(const BundleBlock& block, QStringList* lines);

// The file's bytes for the lines: joined, in UTF-8 with the terminating NUL, enciphered.
QByteArray EncodeBundle(const QStringList& lines);

// The bundle text of a file's bytes: deciphered, up to the first NUL.
QString DecodeBundle(const QByteArray& file);

// The blocks of a bundle text as the import takes them apart: the text is split at every
// line feed and the last piece is never looked at (a last line without its line feed is
// lost); a line opening with "表名:" starts a block named by the rest of the line; any
// other line is split at every "," into the next row of the current block, the prefix
// "列名:" dropped first. Rows before the first table name form a block without a name,
// present only when there are such rows. Each block knows the line of its table name.
QList<BundleBlock> ReadBundleText(const QString& text);
