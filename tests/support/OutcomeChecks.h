#pragma once

#include "util/Outcome.h"

#include <gtest/gtest.h>

// ASSERT_TRUE(Succeeded(work())) fails with the message the work gave.
inline ::testing::AssertionResult Succeeded(const korvel::Outcome& outcome)
{
    if (outcome)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << outcome.message().toStdString();
}
