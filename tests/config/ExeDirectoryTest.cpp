#include "config/ExeDirectory.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(ExeDirectory, IsTheRunningExecutablesDirectoryWithATrailingSlash)
{
    char executable[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", executable, sizeof executable - 1), 0);
    EXPECT_EQ(GetExeDirectory(), QFileInfo(QString::fromLocal8Bit(executable)).absolutePath() + QLatin1Char('/'));
}
