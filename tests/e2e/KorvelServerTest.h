#pragma once

#include "config/ConnectionSettings.h"
#include "tests/db/odbc/OdbcTestServer.h"
#include "tests/support/ProgramFolder.h"

#include <QStringList>

// The data source that the tests' settings name: psqlODBC with the options Korvel needs,
// set up as a user would, in ODBC configuration files of the test process's own.
inline const QString kDataSourceName = QStringLiteral("KorvelTest");

// A Korvel database of the test's own on the test server, made from the template that
// scripts/postgres loads with db/schema/postgresql.sql and dropped after the test, and a
// program folder whose settings file reaches it through the data source. The fixture's
// client works on that database, beside the program, never through the code under test.
class KorvelServerTest : public OdbcServerTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings of the program folder; another provider puts a client of a test's
    // own over the data source.
    ConnectionSettings Settings(const QString& provider = QStringLiteral("MSDASQL")) const;
    QString SettingsPath() const { return m_folder.filePath(kSettingsFileName); }

    // Copies the rows of a table of an embedded database into the same table here, in the
    // given order, and sets the table's identity to go on after them.
    void CopyFromEmbedded(const QString& databasePath, const QString& table, const QString& order);
    // The demo database, made afresh, and all of it copied here.
    void CopyDemoDatabase();
    QString DemoPath() const { return m_folder.filePath(QStringLiteral("demo.db")); }

    // Every row of the tables, each as its values' text, sorted: what "the database is as
    // it was" is judged by.
    QStringList Contents(const QStringList& tables);
    // The first value of the first row of a query, as text ("NULL" for NULL).
    QString Scalar(const QString& sql);
    // The first value of every row of a query, as text.
    QStringList FirstColumnOf(const QString& sql);
    // The connection string of the settings, as the program makes it.
    QString ConnectionString(const QString& provider = QStringLiteral("MSDASQL")) const;

    ProgramFolder m_folder;
    QString m_databaseName;
};
