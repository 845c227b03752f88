#include "attributes/AdminLogin.h"

#include "db/Database.h"

namespace korvel {

Outcome checkAdminPassword(const QString& connectionString, const QString& typedPassword)
{
    Database database;
    if (!database.open(connectionString))
        return Outcome::failure(QStringLiteral("连接数据库失败"));
    TextTable rows;
    if (!database.query(QStringLiteral("select Password from tblUserInfo where UserID='Admin'"), &rows))
        return Outcome::failure(QStringLiteral("获取数据库信息失败"));
    database.close(); // the connection is gone before the password is looked at
    if (rows.isEmpty())
        return Outcome::failure(QStringLiteral("获取数据库信息失败"));
    if (rows[0].value(0) != typedPassword)
        return Outcome::failure(QStringLiteral("密码错误"));
    return Outcome::success();
}

} // namespace korvel
