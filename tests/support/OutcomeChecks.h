#pragma once

#include "util/Outcome.h"

#include <gtest/gtest.h>

namespace korvel {

// ASSERT_TRUE(succeeded(work())) fails with the message the work gave.
inline ::testing::AssertionResult succeeded(const Outcome& outcome)
{
    if (outcome)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << outcome.message().toStdString();
}

} // namespace korvel
