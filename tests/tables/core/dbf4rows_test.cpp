#include <filesystem>

#include "enginetest.h"
#include "tables/core/dbf4rows.h"

namespace {

using namespace dadav;
using namespace enginetest;

class RecordBlocks : public EngineTest {
 protected:
  // NAME C(4), QTY N(5,1), OK L, WHEN D; five records, 2 and 4 deleted.
  void Make() {
    NewTable(Path("r.dbf"),
             {Def("NAME", 'C', 4), Def("QTY", 'N', 5, 1), Def("OK", 'L', 1), Def("WHEN", 'D', 8)},
             5,
             [](int i) {
               SetText(1, "R" + std::to_string(i));
               SetReal(2, i + 0.5);
               SetLogical(3, i == 1);
             },
             {2, 4});
    CloseAll();
  }
};

TEST_F(RecordBlocks, BlocksReadWholeRecordsWithoutMovingAndTextsMatchFieldAsText) {
  Make();
  USE(Path("r.dbf"));
  GO(3);
  std::vector<std::uint8_t> bytes;
  ASSERT_EQ(ReadRecordBlock(*Area(), 2, 10, bytes), 4);
  EXPECT_EQ(RecNo(), 3);
  const WorkArea& area = *Area();
  const std::uint8_t* second = bytes.data();
  EXPECT_TRUE(RawDeleted(second));
  EXPECT_FALSE(RawDeleted(second + area.recordLength));
  const std::uint8_t* third = second + area.recordLength;
  for (int f = 1; f <= 4; ++f) {
    EXPECT_EQ(RawFieldText(third, area.fields[static_cast<std::size_t>(f - 1)]), FieldText(f));
  }
  EXPECT_EQ(LiveRecordNumbers(area), (std::vector<std::int32_t>{1, 3, 5}));
  EXPECT_EQ(ReadRecordBlock(area, 0, 3, bytes), 0);
  EXPECT_EQ(ReadRecordBlock(area, 6, 3, bytes), 0);
  CloseAll();
}

TEST_F(RecordBlocks, AFileCutInsideARecordGivesOnlyTheWholeOnes) {
  Make();
  USE(Path("r.dbf"));
  const std::uint64_t cut =
      static_cast<std::uint64_t>(Area()->headerLength) + 3u * Area()->recordLength + 2u;
  CloseAll();
  std::filesystem::resize_file(Path("r.dbf"), cut);
  CountFromFileSize = false;
  USE(Path("r.dbf"));
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(ReadRecordBlock(*Area(), 1, 5, bytes), 3);
  EXPECT_EQ(bytes.size(), 3u * Area()->recordLength);
  EXPECT_EQ(LiveRecordNumbers(*Area()), (std::vector<std::int32_t>{1, 3}));
  CloseAll();
}

}  // namespace
