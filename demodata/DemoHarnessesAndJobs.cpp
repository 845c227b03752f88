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

QByteArray numbered(const char* format, int number)
{
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    return QByteArray(text);
}

// Numbers that count up within a year, 9999 to a year, from 2024 backwards: "WH-2024-0001".
QByteArray yearlyNumber(const char* prefix, int id)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s-%04d-%04d", prefix, 2024 - (id - 1) / 9999, (id - 1) % 9999 + 1);
    return QByteArray(text);
}

// At scale 1 "WH-2024-0001" to "WH-2024-0334". Every fortieth harness is numbered the way
// some customers do, in Chinese.
QByteArray harnessNo(int harnessId)
{
    return harnessId % 40 == 17 ? numbered("线束-%05d", harnessId) : yearlyNumber("WH", harnessId);
}

// Most wires are plain wires; the other connection types are rarer.
int connectType(DemoRandom& random)
{
    if (random.chance(65))
        return std::atoi(demoValueList(kConnectTypeList).front().value);
    return std::atoi(pickListValue(random, kConnectTypeList));
}

bool insertWire(RowInserter& wires, DemoRandom& random, int harnessId, int wireNo, QString& error)
{
    wires.integer(harnessId).text(numbered("W%03d", wireNo)).integer(connectType(random));
    wires.text(random.chance(10) ? nullptr : pickListValue(random, kTestGroupList));
    wires.text(numbered("X%d", random.between(1, 8))).text(numbered("%d", random.between(1, 40)));
    wires.text(numbered("X%d", random.between(9, 16))).text(numbered("%d", random.between(1, 40)));
    wires.text(random.pick(kWireColours)).text(random.pick(kCrossSections)).integer(random.between(150, 3500));
    wires.text(random.chance(8) ? random.pick(kWireRemarks) : nullptr);
    return wires.insert(error);
}

} // namespace

bool seedDemoHarnesses(sqlite3* db, int count, QString& error)
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
        DemoRandom random = DemoRandom::forRecord(DemoStream::Harnesses, harnessId);
        const int wireCount = harnessId % 100 == 0 ? 0 : random.between(5, 40);
        harnesses.integer(harnessId).text(harnessNo(harnessId)).text(random.pick(kHarnessNames));
        harnesses.text(pickCustomer(random)).text(random.pick(kRevisions)).integer(wireCount);
        harnesses.text(pickCreator(random)).text(randomMoment(random, 2019, 2024).text());
        harnesses.text(random.chance(20) ? random.pick(kHarnessRemarks) : nullptr);
        if (!harnesses.insert(error))
            return false;
        for (int wireNo = 1; wireNo <= wireCount; ++wireNo) {
            if (!insertWire(wires, random, harnessId, wireNo, error))
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
QByteArray jobNo(int jobId)
{
    return yearlyNumber("JB", jobId);
}

bool insertStep(RowInserter& steps, DemoRandom& random, int jobId, int lineId, QString& error)
{
    steps.integer(jobId).integer(lineId).text(random.pick(kStepNames)).integer(std::atoi(pickListValue(random, kTestModeList)));
    steps.text(random.chance(15) ? nullptr : pickListValue(random, kTestGroup2List));
    steps.text(random.chance(40) ? nullptr : random.pick(kVoltages)).integer(random.between(200, 60000));
    steps.text(random.chance(10) ? random.pick(kStepRemarks) : nullptr);
    return steps.insert(error);
}

} // namespace

bool seedDemoJobs(sqlite3* db, int count, int harnessCount, QString& error)
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
        DemoRandom random = DemoRandom::forRecord(DemoStream::Jobs, jobId);
        const int stepCount = jobId % 100 == 50 ? 0 : random.between(3, 15);
        const int status = random.below(kFinished + 1);
        const DemoMoment created = randomMoment(random, 2020, 2024);
        jobs.integer(jobId).text(jobNo(jobId));
        if (random.chance(5) || harnessCount == 0)
            jobs.null();
        else
            jobs.integer(random.between(1, harnessCount));
        jobs.integer(random.between(1, 200) * 10).integer(random.between(1, 3)).integer(status).text(pickCustomer(random));
        jobs.text(pickCreator(random)).text(created.text()).text(created.daysLater(random.between(7, 60)).day().text());
        jobs.text(status == kFinished ? created.daysLater(random.between(3, 45)).text() : QByteArray());
        jobs.text(random.chance(15) ? random.pick(kJobRemarks) : nullptr);
        if (!jobs.insert(error))
            return false;
        for (int lineId = 1; lineId <= stepCount; ++lineId) {
            if (!insertStep(steps, random, jobId, lineId, error))
                return false;
        }
    }
    return true;
}

} // namespace korvel
