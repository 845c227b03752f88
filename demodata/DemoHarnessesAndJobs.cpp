// The harnesses with their wires, and the jobs with their steps.

#include "demodata/DemoDatabase.h"
#include "demodata/DemoRows.h"

#include <cstdio>
#include <cstdlib>

namespace korvel {

namespace {

const char* const kHarnessNames[] = {
    "发动机舱线束",
    "仪表板线束",
    "左前门线束",
    "右前门线束",
    "左后门线束",
    "右后门线束",
    "顶棚线束",
    "地板线束",
    "前保险杠线束",
    "后保险杠线束",
    "座椅线束",
    "尾门线束",
    "电池包高压线束",
    "充电口线束",
    "电机控制器线束",
    "空调线束",
    "Engine Room Harness",
    "Instrument Panel Harness",
    "エンジンルームハーネス",
    "도어 하네스",
};
const char* const kRevisions[] = {"A", "B", "C", "A1", "B2", "V1.0", "V2.1"};
const char* const kHarnessRemarks[] = {"样品",           "试产",     "量产",     "停产，请勿使用",
                                       "客户变更待确认", "含屏蔽层", "Prototype"};
const char* const kWireColours[] = {"红", "黑", "白", "蓝",    "黄",    "绿",   "棕",
                                    "橙", "灰", "紫", "黄/绿", "红/白", "蓝/黑"};
const char* const kCrossSections[] = {"0.35", "0.50", "0.75", "1.00", "1.50", "2.50", "4.00", "6.00"};
const char* const kWireRemarks[] = {"需套管", "双端压接", "屏蔽层接地", "焊接", "加热缩管"};

QByteArray Numbered(const char* format, int number)
{
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    return QByteArray(text);
}

// Numbers that count up within a year, 9999 to a year, from 2024 backwards: "WH-2024-0001".
QByteArray YearlyNumber(const char* prefix, int id)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s-%04d-%04d", prefix, 2024 - (id - 1) / 9999, (id - 1) % 9999 + 1);
    return QByteArray(text);
}

// At scale 1 "WH-2024-0001" to "WH-2024-0334". Every fortieth harness is numbered the way
// some customers do, in Chinese.
QByteArray HarnessNo(int harnessId)
{
    return harnessId % 40 == 17 ? Numbered("线束-%05d", harnessId) : YearlyNumber("WH", harnessId);
}

// Most wires are plain wires; the other connection types are rarer.
int ConnectType(DemoRandom& random)
{
    if (random.Chance(65))
        return std::atoi(DemoValueList(kConnectTypeList).front().value);
    return std::atoi(PickListValue(random, kConnectTypeList));
}

bool InsertWire(RowInserter& wires, DemoRandom& random, int harnessId, int wireNo, QString& error)
{
    wires.Int(harnessId).Text(Numbered("W%03d", wireNo)).Int(ConnectType(random));
    wires.Text(random.Chance(10) ? nullptr : PickListValue(random, kTestGroupList));
    wires.Text(Numbered("X%d", random.Between(1, 8))).Text(Numbered("%d", random.Between(1, 40)));
    wires.Text(Numbered("X%d", random.Between(9, 16))).Text(Numbered("%d", random.Between(1, 40)));
    wires.Text(random.Pick(kWireColours)).Text(random.Pick(kCrossSections)).Int(random.Between(150, 3500));
    wires.Text(random.Chance(8) ? random.Pick(kWireRemarks) : nullptr);
    return wires.Insert(error);
}

} // namespace

bool SeedDemoHarnesses(sqlite3* db, int count, QString& error)
{
    RowInserter harnesses;
    RowInserter wires;
    if (!harnesses.prepare(db, "tblHarnessInfo",
                           "HarnessID, HarnessNo, HarnessName, Customer, Revision, WireCount, CreatedBy, CreatedAt, "
                           "Remark",
                           error) ||
        !wires.prepare(db, "tblHarnessWireInfo",
                       "HarnessID, WireNo, HarnessType, WireGroup, FromConnector, FromPin, ToConnector, ToPin, "
                       "WireColor, CrossSection, LengthMm, Remark",
                       error))
        return false;
    for (int harnessId = 1; harnessId <= count; ++harnessId) {
        DemoRandom random = DemoRandom::For(DemoStream::Harnesses, harnessId);
        const int wireCount = harnessId % 100 == 0 ? 0 : random.Between(5, 40);
        harnesses.Int(harnessId).Text(HarnessNo(harnessId)).Text(random.Pick(kHarnessNames));
        harnesses.Text(PickCustomer(random)).Text(random.Pick(kRevisions)).Int(wireCount);
        harnesses.Text(PickCreator(random)).Text(RandomMoment(random, 2019, 2024).Text());
        harnesses.Text(random.Chance(20) ? random.Pick(kHarnessRemarks) : nullptr);
        if (!harnesses.Insert(error))
            return false;
        for (int wireNo = 1; wireNo <= wireCount; ++wireNo) {
            if (!InsertWire(wires, random, harnessId, wireNo, error))
                return false;
        }
    }
    return true;
}

namespace {

const char* const kJobRemarks[] = {"加急", "客户指定测试顺序", "返工", "首件检验", "Rush order"};
const char* const kStepNames[] = {"导通测试", "绝缘测试", "耐压测试",   "电阻测量", "二极管方向",
                                  "卡扣检查", "外观检查", "气密性测试", "终检"};
const char* const kVoltages[] = {"5.00", "12.00", "24.00", "100.00", "500.00", "1500.00"};
const char* const kStepRemarks[] = {"需双人确认", "记录测试值", "不合格品隔离", "Hold point"};

enum JobStatus { kNew, kRunning, kPaused, kFinished };

// Job numbers follow the harness numbers' pattern: "JB-2024-0001".
QByteArray JobNo(int jobId)
{
    return YearlyNumber("JB", jobId);
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
    if (!jobs.prepare(db, "tblJobInfo",
                      "JobID, JobNo, HarnessID, Quantity, Priority, Status, Customer, CreatedBy, CreatedAt, DueDate, "
                      "FinishedAt, Remark",
                      error) ||
        !steps.prepare(db, "tblJobStepInfo",
                       "JobID, LineID, StepName, TestMode, TestGroup, Voltage, DurationMs, Remark", error))
        return false;
    for (int jobId = 1; jobId <= count; ++jobId) {
        DemoRandom random = DemoRandom::For(DemoStream::Jobs, jobId);
        const int stepCount = jobId % 100 == 50 ? 0 : random.Between(3, 15);
        const int status = random.Below(kFinished + 1);
        const DemoMoment created = RandomMoment(random, 2020, 2024);
        jobs.Int(jobId).Text(JobNo(jobId));
        if (random.Chance(5) || harnessCount == 0)
            jobs.null();
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

} // namespace korvel
