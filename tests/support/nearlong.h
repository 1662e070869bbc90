// EXPECT_NEAR takes doubles, which would round extended results and tolerances below 1e-15
// before comparing them; this predicate keeps the comparison in long double.
#pragma once

#include <gtest/gtest.h>

#include <cmath>

inline ::testing::AssertionResult NearLong(const char* actual_text, const char* expected_text,
                                           const char* tolerance_text, long double actual,
                                           long double expected, long double tolerance) {
  if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << actual_text << " = " << actual << " differs from " << expected_text << " = " << expected
         << " by more than " << tolerance_text << " = " << tolerance;
}

#define EXPECT_NEAR_LONG(actual, expected, tolerance) \
  EXPECT_PRED_FORMAT3(NearLong, actual, expected, tolerance)
