#pragma once

#include "util/FileIO.h"

#include <QString>

namespace korvel {

class Database;

// Writes the label with the given number into a label bundle file: its row of
// tblLabelInfo, its rows of tblLabelControls and the rows of tblLabelControlItem that
// those controls use. A number that no label has is refused ("标签 %1 不存在"). The file
// is written only after all three blocks have been read and checked, and replaces an
// existing one in a single step, so a failure leaves any old file as it was; a link at the
// path is written through. A failure says why; the caller says that it worked in its own
// way.
Outcome exportLabel(const QString& connectionString, const QString& labelNo, const QString& path);

// The same through an open database: for many labels in a row, where a link at the path may
// have to be refused.
Outcome exportLabelTo(Database& database, const QString& labelNo, const QString& path, LinkAtTarget links);

} // namespace korvel
