#pragma once

#include <QString>

// The three tables a label bundle carries, in the order its blocks come, and the columns
// that export and import name.
inline const QString kLabelInfoTable = QStringLiteral("tblLabelInfo");
inline const QString kLabelControlsTable = QStringLiteral("tblLabelControls");
inline const QString kLabelControlItemTable = QStringLiteral("tblLabelControlItem");

inline const QString kLabelIdColumn = QStringLiteral("LabelID");
inline const QString kItemIdColumn = QStringLiteral("ItemID");
inline const QString kLabelNoColumn = QStringLiteral("LabelNo");
inline const QString kLineIdColumn = QStringLiteral("LineID");

// Every label needs a number: one numbered "" could never be chosen for export again.
inline const QString kEmptyLabelNoText = QStringLiteral("标签不能为空");
