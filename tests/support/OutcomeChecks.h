#pragma once

#include "util/Outcome.h"

#include <gtest/gtest.h>

namespace korvel {

// ASSERT_TRUE(Succeeded(work())) fails with the message the work gave.
inline ::testing::AssertionResult Succeeded(const Outcome& outcome)
{
    if (outcome)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << outcome.message().toStdString();
}

} // namespace korvel
