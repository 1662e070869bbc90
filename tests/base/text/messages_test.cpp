#include "base/text/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

class MessageList : public testing::Test {
 protected:
  void SetUp() override {
    FreeMessages();
    ClearMessages();
  }
};

TEST_F(MessageList, KeepsTheFirstTwelveDistinctTextsInOrder) {
  for (int i = 1; i <= 14; ++i) AddMessage("Error  : e" + std::to_string(i));
  AddMessage("Error  : e3");
  ASSERT_EQ(MessageCount, 12);
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(Messages[i], "Error  : e" + std::to_string(i));
}

TEST_F(MessageList, DropsOnlyExactDuplicates) {
  for (const char* text : {"Warning: s < smin ! (1)", "Warning: s < smin ! (1)",
                           "warning: s < smin ! (1)", "Warning: s < smin ! (1) ", "", ""}) {
    AddMessage(text);
  }
  EXPECT_EQ(std::tuple(MessageCount, Messages[2], Messages[3], Messages[4]),
            std::tuple(4, "warning: s < smin ! (1)", "Warning: s < smin ! (1) ", ""));
}

TEST_F(MessageList, ClearResetsCountAndBothFlagsButKeepsSlots) {
  AddMessage("Fatal  : d1 = 0 !");
  FatalFlag = 1;
  AbortFlag = 1;
  ClearMessages();
  EXPECT_EQ(std::tuple(MessageCount, FatalFlag, AbortFlag, Messages[1]),
            std::tuple(0, 0, 0, "Fatal  : d1 = 0 !"));
  AddMessage("Fatal  : d1 = 0 !");
  EXPECT_EQ(MessageCount, 1);
  FreeMessages();
  EXPECT_EQ(Messages[1], "");
}

}  // namespace
