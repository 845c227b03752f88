#pragma once

#include <QString>

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

DemoCounts DemoCountsForScale(int scale);

// Creates an embedded database file with Korvel's tables, and with demo data when `demo`
// is given; the same options always give the same table contents. Refuses a path where
// anything exists and leaves it alone. The file appears only when it is complete: it is
// built under a temporary name beside it and renamed at the end, and removed on failure.
[[nodiscard]] bool CreateEmbeddedDatabase(const QString& path, const DemoOptions* demo, QString& error);
