#pragma once

#include "labels/LabelBundle.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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
// enciphered with another key, and one edited into CR LF line ends all fail. A name from
// the file is shown with a carriage return written as "\r".
CheckedBundle ReadCheckedBundle(const QByteArray& file);

// What keeps a whole bundle from importing as a label: its tblLabelInfo block has no row, or
// a row with an empty label number.
QStringList LabelProblems(const QList<BundleBlock>& blocks);

// A text holding names from the file as a message shows it: the carriage return that
// CR LF line ends leave at the end of a name would otherwise be invisible.
QString ShowCarriageReturns(QString text);

// What the import says when a block lacks a column that it must replace.
QString MissingColumnText(const QString& tableName, const QString& column);
