#include "attributes/AdminLogin.h"

#include "tests/support/EmbeddedTestDatabase.h"
#include "tests/support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace korvel;

TEST(AdminLogin, OnlyAdminsStoredPasswordPassesAndEachFailureHasItsText)
{
    const char* const admin = "CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
                              "INSERT INTO tblUserInfo VALUES ('Admin', 'korvel'), ('Admin', 'second');";
    const struct
    {
        const char* database; // null: no database at all
        const char* typed;
        const char* refusal; // empty when the login passes
    } attempts[] = {
        {admin, "korvel", ""},
        {admin, "Korvel", "密码错误"},
        {admin, "second", "密码错误"}, // the first row the database gives counts
        {"CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
         "INSERT INTO tblUserInfo VALUES ('Admin', NULL);",
         "", ""},
        {"CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));", "", "获取数据库信息失败"},
        {"CREATE TABLE tblOther (x int);", "", "获取数据库信息失败"},
        {nullptr, "korvel", "连接数据库失败"},
    };
    for (const auto& attempt : attempts) {
        const EmbeddedTestDatabase database(attempt.database ? attempt.database : "");
        const QString connection = attempt.database ? database.connectionString()
                                                    : QStringLiteral("Provider=sqlite;Data Source=%1;")
                                                          .arg(database.path() + QStringLiteral(".missing"));
        const Outcome login = checkAdminPassword(connection, QString::fromUtf8(attempt.typed));
        EXPECT_EQ(login.ok(), *attempt.refusal == '\0') << attempt.typed;
        EXPECT_EQ(login.message(), QString::fromUtf8(attempt.refusal)) << attempt.typed;
    }
}
