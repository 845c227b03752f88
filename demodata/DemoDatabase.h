#pragma once

#include "config/ValueLists.h"
#include "util/Outcome.h"

#include <QList>
#include <QString>

namespace korvel {

// The demo data: an embedded database that looks like a plant's, and the value lists that
// go with it. The korvelctl create-db command, the demo and the tests build their
// databases here.

// How much demo data to seed. Scale 1 is a few hundred harnesses and jobs and some tens
// of labels; scale N has N times as many, each as large as at scale 1, so that run times
// measured on it grow linearly.
struct DemoOptions
{
    int scale = 1;
};

inline constexpr int kMaxDemoScale = 1000;

struct DemoCounts
{
    int harnesses;
    int jobs;
    int labels;
};

DemoCounts demoCountsForScale(int scale);

// Creates an embedded database file with Korvel's tables and the demo data, as
// createEmbeddedDatabase creates one (never over an existing file, and whole or not at
// all); the same options always give the same table contents.
Outcome createDemoDatabase(const QString& path, const DemoOptions& demo);

// One entry of a demo value list: the text the user picks and the value written.
struct DemoValueEntry
{
    const char* entry; // UTF-8
    const char* value; // a decimal number in the two integer lists
};

// The entries of one of the four value lists (ValueListIndex). The demo data uses exactly
// these values for HarnessType, WireGroup, TestGroup and TestMode, so that every value a
// user can write is one the demo database already holds.
const QList<DemoValueEntry>& demoValueList(ValueListIndex list);

// The four lists as the text that "korvelctl values --build" turns into a value-list
// file: one "list&entry&value" line each, lists in the order 联线类型, 测试组, 测试组2,
// 测试模式.
QString demoValueListText();

} // namespace korvel
