#pragma once

#include "labels/LabelBundle.h"

#include <QList>
#include <QString>

// An import writes only into the three label tables: false, naming the offender, when a
// block names any other table or has no name at all (rows before the first table name, as
// in a file that is no bundle or was enciphered with another key).
[[nodiscard]] bool CheckBundleTables(const QList<BundleBlock>& blocks, QString& error);

// What the import says when a block lacks a column, or a row a value, that it must replace.
// Rows are counted from 1 after the column-name row.
QString MissingColumnText(const QString& tableName, const QString& column);
QString MissingValueText(const QString& tableName, qsizetype row, const QString& column);
