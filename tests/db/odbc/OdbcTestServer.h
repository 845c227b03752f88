#pragma once

#include "db/client/DbClient.h"
#include "db/odbc/OdbcClient.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// The OLE DB connection string of the test server (KORVEL_TEST_ODBC_CONNECT, which
// scripts/postgres prints), or empty when none is set.
QString TestServerConnectionString();

// The connection string with one attribute's value replaced (or added).
QString WithAttribute(const QString& connectionString, const QString& keyword, const QString& value);

// Tests against the real server through the generic ODBC client. Without a server they
// are skipped, unless KORVEL_REQUIRE_ODBC=1 says that one must be there.
class OdbcServerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a table with a name no other test uses and drops it after the test.
    QString CreateTable(const QString& columns);
    void Run(const QString& sql);
    // Every row of a query, each value in order.
    QList<QList<DbValue>> Rows(const QString& sql);
    std::unique_ptr<DbCursor> Cursor(const QString& sql);
    qint64 Count(const QString& table);

    QString m_connect;
    OdbcClient m_client{OdbcFlavour::Generic};

private:
    QStringList m_tables;
};
