#include "base/draw/brelgraflist.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(ParseDrawRecordTest, ReadsTheFieldsOfItsOpcode) {
  // Unknown for a field short ("4;1;2;3"), no text, an empty field, no or an unknown opcode.
  constexpr DrawOp kUnknown = DrawOp::kUnknown;
  // clang-format off
  const std::tuple<const char*, DrawOp, std::vector<double>> cases[] = {
      {"4;1;2.5;-3;1E-05", DrawOp::kLine, {1, 2.5, -3, 1e-5}},
      {"10;1;1;639;479;0;0;160;120", DrawOp::kWindow, {1, 1, 639, 479, 0, 0, 160, 120}},
      {"8;-2", DrawOp::kColour, {-2}}, {"1;10;20;", DrawOp::kMoveTo, {10, 20}},
      {"13;5", DrawOp::kPause, {5}}, {"4;1;2;3", kUnknown, {}}, {"6;1;2", kUnknown, {}},
      {"3;1;;2", kUnknown, {}}, {"x;1;2", kUnknown, {}}, {"14;1", kUnknown, {}},
      {"0;1", kUnknown, {}}, {"8", kUnknown, {}}, {"", kUnknown, {}}};
  // clang-format on
  for (const auto& [text, opcode, values] : cases) {
    const DrawRecord r = ParseDrawRecord(text);
    EXPECT_EQ(std::tuple(r.opcode, std::vector<double>(r.value, r.value + values.size())),
              std::tuple(opcode, values))
        << text;
  }
}

// Every change must reach what the replay reads, however much of the list was read before.
TEST(RecordListTest, ReadRecordsFollowEveryChange) {
  const struct {
    const char* change;
    std::function<void(RecordList&)> apply;
  } cases[] = {
      {"push_back", [](RecordList& l) { l.push_back("8;3"); }},
      {"pop_back then push_back",
       [](RecordList& l) {
         l.pop_back();
         l.push_back("3;9;9;9");
       }},
      {"insert at the front", [](RecordList& l) { l.insert(l.begin(), "12;4"); }},
      {"insert in the middle", [](RecordList& l) { l.insert(l.begin() + 1, "11;2"); }},
      {"assign", [](RecordList& l) { l.assign(2, "1;5;6"); }},
      {"assign a list",
       [](RecordList& l) {
         l = {"13;7", "8;1"};
       }},
      {"clear then push_back",
       [](RecordList& l) {
         l.clear();
         l.push_back("8;9");
       }},
  };
  for (const auto& c : cases) {
    for (std::size_t readBefore = 0; readBefore <= 3; ++readBefore) {
      RecordList list{"4;0;0;1;1", "3;1;2;3", "8;5"};
      for (std::size_t i = 0; i < readBefore; ++i) list.Read(i);
      c.apply(list);
      for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list.Read(i).opcode, ParseDrawRecord(list[i]).opcode)
            << c.change << ", record " << i << ", " << readBefore << " read before";
        EXPECT_EQ(list.Read(i).value[0], ParseDrawRecord(list[i]).value[0]) << c.change;
      }
    }
  }
}

}  // namespace
