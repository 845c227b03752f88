#include "db/demo/DemoSeeding.h"

#include "db/demo/DemoMoment.h"
#include "db/demo/DemoRandom.h"
#include "db/demo/DemoTexts.h"
#include "db/demo/RowInserter.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kJobRemarks[] = {"加急", "客户指定测试顺序", "返工", "首件检验", "Rush order"};
const char* const kStepNames[] = {"导通测试", "绝缘测试", "耐压测试",   "电阻测量", "二极管方向",
                                  "卡扣检查", "外观检查", "气密性测试", "终检"};
const char* const kVoltages[] = {"5.00", "12.00", "24.00", "100.00", "500.00", "1500.00"};
const char* const kStepRemarks[] = {"需双人确认", "记录测试值", "不合格品隔离", "Hold point"};

enum JobStatus { kNew, kRunning, kPaused, kFinished };

// Job numbers follow the harness numbers' pattern: "JB-2024-0001", 9999 to a year.
QByteArray JobNo(int jobId)
{
    char text[32];
    std::snprintf(text, sizeof text, "JB-%04d-%04d", 2024 - (jobId - 1) / 9999, (jobId - 1) % 9999 + 1);
    return QByteArray(text);
}

bool InsertStep(RowInserter& steps, DemoRandom& random, int jobId, int lineId, QString& error)
{
    steps.Int(jobId).Int(lineId).Text(random.Pick(kStepNames)).Int(std::atoi(PickListValue(random, kTestModeList)));
    steps.Text(random.Chance(15) ? nullptr : PickListValue(random, kTestGroup2List));
    steps.Text(random.Chance(40) ? nullptr : random.Pick(kVoltages)).Int(random.Between(200, 60000));
    steps.Text(random.Chance(10) ? random.Pick(kStepRemarks) : nullptr);
    return steps.Insert(error);
}

} // namespace

bool SeedDemoJobs(sqlite3* db, int count, int harnessCount, QString& error)
{
    RowInserter jobs;
    RowInserter steps;
    if (!jobs.Prepare(db, "tblJobInfo",
                      "JobID, JobNo, HarnessID, Quantity, Priority, Status, Customer, CreatedBy, CreatedAt, DueDate, "
                      "FinishedAt, Remark",
                      error) ||
        !steps.Prepare(db, "tblJobStepInfo",
                       "JobID, LineID, StepName, TestMode, TestGroup, Voltage, DurationMs, Remark", error))
        return false;
    for (int jobId = 1; jobId <= count; ++jobId) {
        DemoRandom random = DemoRandom::For(DemoStream::Jobs, jobId);
        const int stepCount = jobId % 100 == 50 ? 0 : random.Between(3, 15);
        const int status = random.Below(kFinished + 1);
        const DemoMoment created = RandomMoment(random, 2020, 2024);
        jobs.Int(jobId).Text(JobNo(jobId));
        if (random.Chance(5) || harnessCount == 0)
            jobs.Null();
        else
            jobs.Int(random.Between(1, harnessCount));
        jobs.Int(random.Between(1, 200) * 10).Int(random.Between(1, 3)).Int(status).Text(PickCustomer(random));
        jobs.Text(PickCreator(random)).Text(created.Text()).Text(created.DaysLater(random.Between(7, 60)).Day().Text());
        jobs.Text(status == kFinished ? created.DaysLater(random.Between(3, 45)).Text() : QByteArray());
        jobs.Text(random.Chance(15) ? random.Pick(kJobRemarks) : nullptr);
        if (!jobs.Insert(error))
            return false;
        for (int lineId = 1; lineId <= stepCount; ++lineId) {
            if (!InsertStep(steps, random, jobId, lineId, error))
                return false;
        }
    }
    return true;
}
