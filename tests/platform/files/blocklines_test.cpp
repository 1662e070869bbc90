#include "platform/files/blocklines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/tempfolder.h"

namespace {

using platform::BlockFile;

class BlockLinesTest : public testing::Test, protected TempFolder {
 protected:
  std::vector<std::string> Lines(const std::string& bytes, std::size_t limit = 100,
                                 std::size_t bufferSize = 3) {
    Put("in.txt", bytes);
    BlockFile file;
    EXPECT_EQ(file.Open(Path("in.txt"), platform::kModeSharedRead), 0);
    platform::BlockLineReader reader(file, bufferSize);
    std::vector<std::string> lines;
    for (std::string line; reader.ReadLine(line, limit);) lines.push_back(line);
    EXPECT_EQ(reader.Error(), 0);
    return lines;
  }
  using List = std::vector<std::string>;
};

TEST_F(BlockLinesTest, EveryLineEndingAcrossBufferBorders) {
  EXPECT_EQ(Lines("ab\r\ncd\ref\ngh"), (List{"ab", "cd", "ef", "gh"}));
  EXPECT_EQ(Lines("a\r\r\n\nb\r"), (List{"a", "", "", "b"}));
  EXPECT_EQ(Lines(""), List{});
}

TEST_F(BlockLinesTest, EndOfTextMarkStopsReading) {
  EXPECT_EQ(Lines("a\r\nb\x1A\r\nc\r\n"), (List{"a", "b"}));
  EXPECT_EQ(Lines("a\r\n\x1A"), List{"a"});
}

TEST_F(BlockLinesTest, LongLineIsCutAndItsRestSkipped) {
  const std::string longLine(5000, 'x');
  EXPECT_EQ(Lines(longLine + "\r" + "next\n", 2048, 512), (List{std::string(2048, 'x'), "next"}));
}

TEST_F(BlockLinesTest, WriterCollectsAndReportsTheFirstFailure) {
  BlockFile file;
  ASSERT_EQ(file.Create(Path("out.txt")), 0);
  platform::BlockLineWriter writer(file, 4);
  for (const char* piece : {"ab", "cde", "f", "ghijkl"}) writer.Write(piece);
  EXPECT_EQ(writer.Flush(), 0);
  EXPECT_EQ(Bytes("out.txt"), "abcdefghijkl");
  file.Close();

  BlockFile readOnly;
  ASSERT_EQ(readOnly.Open(Path("out.txt"), platform::kModeSharedRead), 0);
  platform::BlockLineWriter refused(readOnly, 4);
  refused.Write("12345");
  refused.Write("6");
  EXPECT_EQ(refused.Flush(), 5);
  EXPECT_EQ(Bytes("out.txt"), "abcdefghijkl");
}

}  // namespace
