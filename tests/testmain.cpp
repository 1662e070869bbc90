// Every test program runs on the headless kit, as the command-line modes do; a test swaps single
// services with platform::Substitute.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  platform::headless::Install();
  return RUN_ALL_TESTS();
}
