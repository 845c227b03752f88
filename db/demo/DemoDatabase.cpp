#include "db/demo/DemoSeeding.h"
#include "db/demo/EmbeddedDatabase.h"

namespace {

constexpr int kHarnessesPerScale = 334;
constexpr int kJobsPerScale = 334;
constexpr int kLabelsPerScale = 40;

} // namespace

DemoCounts DemoCountsForScale(int scale)
{
    return {kHarnessesPerScale * scale, kJobsPerScale * scale, kLabelsPerScale * scale};
}

bool SeedDemoDatabase(sqlite3* db, const DemoCounts& counts, QString& error)
{
    return SeedDemoUsers(db, error) && SeedDemoHarnesses(db, counts.harnesses, error) &&
           SeedDemoJobs(db, counts.jobs, counts.harnesses, error) && SeedDemoLabels(db, counts.labels, error);
}
