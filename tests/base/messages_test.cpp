#include "base/messages.h"

#include <gtest/gtest.h>

#include <string>

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
  const char* texts[] = {"Warning: s < smin ! (1)",
                         "Warning: s < smin ! (1)",
                         "warning: s < smin ! (1)",
                         "Warning: s < smin ! (1) ",
                         "",
                         ""};
  for (const char* text : texts) AddMessage(text);
  ASSERT_EQ(MessageCount, 4);
  EXPECT_EQ(Messages[2], "warning: s < smin ! (1)");
  EXPECT_EQ(Messages[3], "Warning: s < smin ! (1) ");
  EXPECT_EQ(Messages[4], "");
}

TEST_F(MessageList, ClearResetsCountAndBothFlagsButKeepsSlots) {
  AddMessage("Fatal  : d1 = 0 !");
  FatalFlag = 1;
  AbortFlag = 1;
  ClearMessages();
  EXPECT_EQ(MessageCount, 0);
  EXPECT_EQ(FatalFlag, 0);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Messages[1], "Fatal  : d1 = 0 !");
  AddMessage("Fatal  : d1 = 0 !");
  EXPECT_EQ(MessageCount, 1);
  FreeMessages();
  EXPECT_EQ(Messages[1], "");
}

}  // namespace
