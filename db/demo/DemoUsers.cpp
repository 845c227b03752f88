#include "db/demo/DemoSeeding.h"

#include "db/demo/RowInserter.h"

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

bool SeedDemoUsers(sqlite3* db, QString& error)
{
    RowInserter users;
    if (!users.Prepare(db, "tblUserInfo",
                       "UserID, Password, UserName, Department, Permission, IsActive, CreatedAt, LastLogin", error))
        return false;
    for (const DemoUser& user : kUsers) {
        users.Text(user.userId).Text(user.password).Text(user.userName).Text(user.department).Int(user.permission);
        users.Int(user.active ? 1 : 0).Text(user.createdAt).Text(user.lastLogin);
        if (!users.Insert(error))
            return false;
    }
    return true;
}
