#include "demodata/DemoDatabase.h"

#include "db/sqlite/SqliteClient.h"
#include "demodata/DemoRows.h"

#include <array>

namespace korvel {

namespace {

constexpr int kHarnessesPerScale = 334;
constexpr int kJobsPerScale = 334;
constexpr int kLabelsPerScale = 40;

} // namespace

DemoCounts demoCountsForScale(int scale)
{
    return {kHarnessesPerScale * scale, kJobsPerScale * scale, kLabelsPerScale * scale};
}

bool seedDemoDatabase(sqlite3* db, const DemoCounts& counts, QString& error)
{
    return seedDemoUsers(db, error) && seedDemoHarnesses(db, counts.harnesses, error) &&
           seedDemoJobs(db, counts.jobs, counts.harnesses, error) && seedDemoLabels(db, counts.labels, error);
}

Outcome createDemoDatabase(const QString& path, const DemoOptions& demo)
{
    if (demo.scale < 1 || demo.scale > kMaxDemoScale)
        return Outcome::failure(QStringLiteral("演示数据的规模应为1到%1之间的整数").arg(kMaxDemoScale));
    const DemoCounts counts = demoCountsForScale(demo.scale);
    return createEmbeddedDatabase(path, [&counts](sqlite3* db) {
        QString error;
        return seedDemoDatabase(db, counts, error) ? Outcome::success() : Outcome::failure(error);
    });
}

namespace {

struct DemoUser
{
    const char* userId;
    const char* password; // null: never set
    const char* userName;
    const char* department;
    int permission;
    bool active;
    const char* createdAt;
    const char* lastLogin;
};

// The login compares the typed text with Admin's password exactly; the others show an
// empty and a NULL password, a user in another script and one who is no longer active.
const DemoUser kUsers[] = {
    {"Admin", "korvel", "系统管理员", "信息部", 9, true, "2019-03-01 08:30:00", "2024-06-18 17:42:05"},
    {"zhangwei", "zw@2024", "张伟", "测试一课", 2, true, "2020-05-12 09:15:00", "2024-06-17 08:02:44"},
    {"lina", "Lina#88", "李娜", "工艺部", 2, true, "2021-02-23 14:00:00", "2024-05-30 16:20:13"},
    {"wangfang", nullptr, "王芳", "品质部", 1, false, "2021-09-01", nullptr},
    {"tanaka", "sakura2022", "田中 一郎", "技術部", 1, true, "2022-04-01 10:00:00", "2024-03-11 11:11:11"},
    {"guest", "", "访客", nullptr, 0, true, "2023-01-01", nullptr},
};

} // namespace

bool seedDemoUsers(sqlite3* db, QString& error)
{
    RowInserter users;
    if (!users.prepare(db, "tblUserInfo",
                       "UserID, Password, UserName, Department, Permission, IsActive, CreatedAt, LastLogin", error))
        return false;
    for (const DemoUser& user : kUsers) {
        users.text(user.userId).text(user.password).text(user.userName).text(user.department).integer(user.permission);
        users.integer(user.active ? 1 : 0).text(user.createdAt).text(user.lastLogin);
        if (!users.insert(error))
            return false;
    }
    return true;
}

const QList<DemoValueEntry>& demoValueList(ValueListIndex list)
{
    static const std::array<QList<DemoValueEntry>, kValueListCount> lists = {{
        // 联线类型: connection types of a wire (HarnessType).
        {{"导线", "1"},
         {"屏蔽线", "2"},
         {"双绞线", "3"},
         {"二极管", "4"},
         {"电阻", "5"},
         {"电容", "6"},
         {"接地线", "7"}},
        // 测试组: test groups of a wire (WireGroup).
        {{"A组", "GA"}, {"B组", "GB"}, {"C组", "GC"}, {"电源组", "PWR"}, {"信号组", "SIG"}, {"高压组", "HV"}},
        // 测试组2: second test groups of a job step (TestGroup).
        {{"功能测试组", "FT"}, {"安规测试组", "ST"}, {"老化测试组", "BI"}, {"外观检查组", "VI"}, {"终检组", "FQC"}},
        // 测试模式: test modes of a job step (TestMode).
        {{"快速", "0"}, {"标准", "1"}, {"精密", "2"}, {"高压", "3"}, {"手动", "4"}},
    }};
    return lists[list];
}

QString demoValueListText()
{
    QString text;
    for (int list = 0; list < kValueListCount; ++list) {
        for (const DemoValueEntry& entry : demoValueList(static_cast<ValueListIndex>(list)))
            text += valueListNames()[list] + QLatin1Char('&') + QString::fromUtf8(entry.entry) + QLatin1Char('&') +
                    QString::fromUtf8(entry.value) + QLatin1Char('\n');
    }
    return text;
}

} // namespace korvel
