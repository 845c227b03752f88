#pragma once

#include "db/CAdoDatabase.h"
#include "tests/support/EmbeddedTestDatabase.h"

#include <gtest/gtest.h>

// A test with a real embedded database set up by plain SQLite, open through CAdoDatabase.
class OpenEmbeddedDatabase : public ::testing::Test
{
protected:
    explicit OpenEmbeddedDatabase(const char* schema) : file(schema) {}
    void SetUp() override { ASSERT_TRUE(database.Open(file.connectionString())) << database.m_strError.toStdString(); }

    TextTable query(const QString& sql)
    {
        TextTable rows;
        EXPECT_TRUE(database.Query(sql, &rows)) << database.m_strError.toStdString();
        return rows;
    }

    EmbeddedTestDatabase file;
    CAdoDatabase database;
};
