#pragma once

#include "config/ValueLists.h"

#include <QList>
#include <QString>

// One entry of a demo value list: the text the user picks and the value written.
struct DemoValueEntry
{
    const char* entry; // UTF-8
    const char* value; // a decimal number in the two integer lists
};

// The entries of one of the four value lists (ValueListIndex). The demo data uses exactly
// these values for HarnessType, WireGroup, TestGroup and TestMode, so that every value a
// user can write is one the demo database already holds.
const QList<DemoValueEntry>& DemoValueList(ValueListIndex list);

// The four lists as the text that "korvelctl values --build" turns into a value-list
// file: one "list&entry&value" line each, lists in the order 联线类型, 测试组, 测试组2,
// 测试模式.
QString DemoValueListText();
