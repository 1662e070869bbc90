#include <chrono>
#include <cstdlib>
#include <map>

#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "cad/layer/cadvar.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"
#include "tests/cad/cadtest.h"

namespace {

// One directory entry with the parameter records that point back at it.
struct Entity {
  std::int32_t de = 0;
  std::string first, second;        // columns 1-72 of the two D records
  std::vector<std::string> pieces;  // columns 1-64 of its P records, trailing blanks removed
  std::int32_t Type() const { return std::atoi(first.substr(0, 8).c_str()); }
  std::string Field(int n) const {  // 1..9 in the first record, 11..19 in the second
    const std::string& record = n <= 9 ? first : second;
    std::string field = record.substr(static_cast<std::size_t>((n - 1) % 10) * 8, 8);
    return field.substr(
        field.find_first_not_of(' ') == std::string::npos ? 8 : field.find_first_not_of(' '));
  }
  std::string Params() const {
    std::string all;
    for (const std::string& piece : pieces) all += piece;
    return all;
  }
};

std::string TrimRight(std::string text) {
  return text.erase(text.find_last_not_of(' ') + 1);
}

// Reads an IGES file as a reader would, checking the record layout on the way: every record 80
// columns and CR LF, sections in order and numbered from 1, the T counts, and each entity's
// parameter pointer and count covering exactly the P records that name its DE pointer.
std::vector<Entity> ReadIges(const std::string& bytes) {
  std::map<char, std::vector<std::string>> sections;
  std::string order;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "record without CR LF at " << pos;
    if (end == std::string::npos) return {};
    std::string record = bytes.substr(pos, end - pos);
    pos = end + 2;
    EXPECT_EQ(record.size(), 80u) << record;
    if (record.size() != 80) return {};
    char letter = record[72];
    if (order.empty() || order.back() != letter) order += letter;
    auto& lines = sections[letter];
    lines.push_back(record.substr(0, 72));
    EXPECT_EQ(record.substr(73), IntTextZero(static_cast<std::int32_t>(lines.size()), 7));
  }
  EXPECT_EQ(order, "SGDPT");
  EXPECT_EQ(sections['T'].size(), 1u);
  EXPECT_EQ(TrimRight(sections['T'].at(0)),
            "S" + IntTextZero(static_cast<std::int32_t>(sections['S'].size()), 7) + "G" +
                IntTextZero(static_cast<std::int32_t>(sections['G'].size()), 7) + "D" +
                IntTextZero(static_cast<std::int32_t>(sections['D'].size()), 7) + "P" +
                IntTextZero(static_cast<std::int32_t>(sections['P'].size()), 7));
  const auto& d = sections['D'];
  const auto& p = sections['P'];
  EXPECT_EQ(d.size() % 2, 0u);
  std::vector<Entity> entities;
  std::size_t next_p = 1;
  for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
    Entity e;
    e.de = static_cast<std::int32_t>(i + 1);
    e.first = d[i];
    e.second = d[i + 1];
    EXPECT_EQ(e.Field(1), e.Field(11));
    std::size_t start = static_cast<std::size_t>(std::atoi(e.Field(2).c_str()));
    std::size_t count = static_cast<std::size_t>(std::atoi(e.Field(14).c_str()));
    EXPECT_EQ(start, next_p) << "entity " << e.de;
    EXPECT_GE(count, 1u);
    for (std::size_t k = start; k < start + count && k <= p.size(); ++k) {
      EXPECT_EQ(TrimRight(p[k - 1].substr(64)),
                std::string(8 - IntText(e.de).size(), ' ') + IntText(e.de))
          << "P record " << k;
      e.pieces.push_back(TrimRight(p[k - 1].substr(0, 64)));
    }
    next_p = start + count;
    std::string params = e.Params();
    EXPECT_EQ(params.find(';'), params.size() - 1) << params;
    entities.push_back(e);
  }
  EXPECT_EQ(next_p, p.size() + 1);
  return entities;
}

std::vector<Entity> OfType(const std::vector<Entity>& all, std::int32_t type) {
  std::vector<Entity> found;
  for (const Entity& e : all)
    if (e.Type() == type) found.push_back(e);
  return found;
}

// A record as the file holds it: text, blanks up to column 80 less the tail, tail.
std::string Record(const std::string& text, const std::string& tail) {
  return text + std::string(80 - text.size() - tail.size(), ' ') + tail + "\r\n";
}

class IgesTest : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    // Noon UTC is the same date in every time zone the tests run in.
    machine_->now = std::chrono::system_clock::from_time_t(1709640000);  // 2024-03-05 12:00 UTC
    ProductCode = "BRELCOR";
    ProgVersion = "1.0";
  }

  void Open(const std::string& name = "out") {
    OpenBatch(kCadIges, name);
    ASSERT_EQ(AbortFlag, 0);
    cad_header(0, 0, 420, 297, 0);
  }

  std::vector<Entity> CloseAndRead(const std::string& name = "out") {
    cad_close();
    EXPECT_EQ(AbortFlag, 0);
    return ReadIges(ReadBytes(Temp(name + ".igs")));
  }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

TEST_F(IgesTest, OneLineFileByteForByte) {
  Open();
  cad_line(10, 20, 30, 40);
  cad_close();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(
      ReadBytes(Temp("out.igs")),
      Record("IGES-Datei generiert von BRELCOR", "S0000001") +
          Record("Uebersetzer von BRELCOR GMBH, Uebersetzerversion 3.1", "S0000002") +
          Record(",,4HFILE,3Hout,12HBRELCOR V1.0,,", "G0000001") +
          Record("16,38,6,99,15,", "G0000002") +
          Record("3Hout,1.0,2,2HMM,32767,3.2767D1,", "G0000003") +
          Record("13H240305.140920,1.0D-8,420.0000,", "G0000004") +
          Record("5HDalve,30HBRELCOR Industriesoftware GmbH,4,0;", "G0000005") +
          "     110       1       0       1       0                        00000000D0000001\r\n"
          "     110               0       1                                        D0000002\r\n" +
          Record("110,10.0000,20.0000,0.0,30.0000,40.0000,0.0;", "1P0000001") +
          Record("S0000002G0000005D0000002P0000001", "T0000001"));
  // The parameter records are kept in memory, never in a file beside the output.
  EXPECT_EQ(Files(), std::set<std::string>{"out.igs"});
}

TEST_F(IgesTest, LinesOfNoWrittenLengthAreLeftOut) {
  Open();
  cad_line(1, 1, 1.00001L, 1);
  cad_line(1, 1, 2, 1);
  std::vector<Entity> all = CloseAndRead();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].Params(), "110,1.0000,1.0000,0.0,2.0000,1.0000,0.0;");
}

TEST_F(IgesTest, BlockMembersInPiecesOfTwelveAndInstances) {
  Open();
  cad_blocks_begin();
  cad_block_begin("LONGBLOCKNAME");
  for (int i = 0; i < 13; ++i) cad_line(0, i, 10, i);
  cad_block_end();
  cad_block_begin("EMPTY");
  cad_block_end();
  cad_blocks_end();
  cad_entities_begin();
  cad_insert("LONGBLOCKNAME", 10, 20, 0, 0.6L, 0.6L);
  cad_insert("LONGBLOCKNAME", 10, 20, 90, 2, 2);
  cad_insert("EMPTY", 0, 0, 0, 1, 1);
  std::vector<Entity> all = CloseAndRead();
  ASSERT_EQ(all.size(), 13u + 2 + 5);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(all[static_cast<std::size_t>(i)].Field(9), "00010000");

  std::vector<Entity> definitions = OfType(all, 308);
  ASSERT_EQ(definitions.size(), 2u);
  EXPECT_EQ(definitions[0].pieces,
            (std::vector<std::string>{"308,0,13HLONGBLOCKNAME,13,",
                                      "1,3,5,7,9,11,13,15,17,19,21,23,", "25;"}));
  EXPECT_EQ(definitions[0].Field(18), "LONGBLOC");
  EXPECT_EQ(definitions[0].Field(9), "00000200");
  EXPECT_EQ(definitions[1].Params(), "308,0,5HEMPTY,0;");

  std::vector<Entity> instances = OfType(all, 408);
  ASSERT_EQ(instances.size(), 3u);
  // A scaled instance is moved by a matrix, also without a rotation: Open CASCADE drops one that
  // moves and scales by its own parameters.
  EXPECT_EQ(instances[0].Params(), "408,27,0.0,0.0,0.0,0.6000;");
  EXPECT_EQ(instances[0].Field(9), "00000000");
  EXPECT_EQ(instances[1].Params(), "408,27,0.0,0.0,0.0,2.0000;");
  EXPECT_EQ(instances[2].Params(), "408,29,0.0000,0.0000,0.0,1.0000;");
  EXPECT_EQ(instances[2].Field(7), "");
  std::vector<Entity> matrices = OfType(all, 124);
  ASSERT_EQ(matrices.size(), 2u);
  EXPECT_EQ(instances[0].Field(7), IntText(matrices[0].de));
  EXPECT_EQ(matrices[0].Params(),
            "124,1.000000,0.000000,0.0,10.0000,0.000000,1.000000,0.0,20.0000,0.0,0.0,1.0,0.0;");
  EXPECT_EQ(instances[1].Field(7), IntText(matrices[1].de));
  EXPECT_EQ(matrices[1].Params(),
            "124,0.000000,-1.000000,0.0,10.0000,1.000000,0.000000,0.0,20.0000,0.0,0.0,1.0,0.0;");
  EXPECT_EQ(matrices[1].Field(9), "00010000");
}

TEST_F(IgesTest, LargeBlockKeepsEveryMember) {
  Open();
  cad_blocks_begin();
  cad_block_begin("BIG");
  for (int i = 0; i < 3500; ++i) cad_line(0, i, 10, i);
  cad_block_end();
  cad_blocks_end();
  cad_insert("BIG", 0, 0, 0, 1, 1);
  std::vector<Entity> all = CloseAndRead();
  ASSERT_EQ(all.size(), 3502u);
  std::string expected = "308,0,3HBIG,3500,";
  for (int i = 0; i < 3500; ++i) expected += IntText(2 * i + 1) + (i == 3499 ? ";" : ",");
  EXPECT_EQ(all[3500].Params(), expected);
  EXPECT_EQ(all[3501].Params(), "408,7001,0.0000,0.0000,0.0,1.0000;");
}

TEST_F(IgesTest, BlockLeftOpenByAFailureIsClosedByTheNext) {
  Open();
  cad_blocks_begin();
  cad_block_begin("FAILED");
  cad_line(0, 0, 1, 1);
  AbortFlag = 1;
  cad_block_end();
  cad_block_begin("NEXT");
  cad_line(0, 0, 2, 2);
  cad_block_end();
  cad_blocks_end();
  cad_insert("FAILED", 0, 0, 0, 1, 1);
  cad_insert("NEXT", 0, 0, 0, 1, 1);
  std::vector<Entity> all = CloseAndRead();
  std::vector<Entity> definitions = OfType(all, 308);
  ASSERT_EQ(definitions.size(), 2u);
  EXPECT_EQ(definitions[0].Params(), "308,0,6HFAILED,1,1;");
  EXPECT_EQ(definitions[1].Params(), "308,0,4HNEXT,1,5;");
}

// Readers take every entity nothing refers to as geometry: a definition never placed, or placed
// only by one never placed, is left out with its members and matrices, and the pointers of what
// is written close up.
TEST_F(IgesTest, OnlyPlacedBlocksAreWritten) {
  Open();
  DrawBlock("INNER", [] { cad_line(0, 0, 1, 0); });
  DrawBlock("LONELY", [] { cad_line(0, 0, 2, 0); });
  DrawBlock("OUTER", [] {
    cad_line(0, 0, 3, 0);
    cad_insert("INNER", 1, 1, 30, 1, 1);
  });
  DrawBlock("UNUSED", [] {
    cad_line(0, 0, 4, 0);
    cad_insert("LONELY", 1, 1, 90, 1, 1);
    cad_insert("INNER", 1, 1, 0, 1, 1);
  });
  cad_entities_begin();
  cad_insert("OUTER", 5, 5, 0, 1, 1);
  std::vector<Entity> all = CloseAndRead();
  std::vector<std::int32_t> types;
  for (const Entity& e : all) types.push_back(e.Type());
  EXPECT_EQ(types, (std::vector<std::int32_t>{110, 308, 110, 124, 408, 308, 408}));
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[1].Params(), "308,0,5HINNER,1,1;");
  EXPECT_EQ(all[4].Params(), "408,3,0.0,0.0,0.0,1.0000;");
  EXPECT_EQ(all[4].Field(7), "7");
  EXPECT_EQ(all[5].Params(), "308,0,5HOUTER,2,5,9;");
  EXPECT_EQ(all[6].Params(), "408,11,5.0000,5.0000,0.0,1.0000;");
}

TEST_F(IgesTest, UndefinedBlockIsReportedAndNotPlaced) {
  Open("first");
  DrawBlock("SHARED", [] { cad_line(0, 0, 1, 1); });
  cad_insert("SHARED", 0, 0, 0, 1, 1);
  CloseAndRead("first");
  Open("second");
  cad_insert("SHARED", 0, 0, 0, 1, 1);
  cad_insert("12345678", 0, 0, 90, 1, 1);
  cad_line(0, 0, 1, 1);
  std::vector<Entity> all = CloseAndRead("second");
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].Type(), 110);
  EXPECT_EQ(MessageCount, 2);
  EXPECT_EQ(Messages[1], "Blockname SHARED not found !");
  EXPECT_EQ(Messages[2], "Blockname 12345678 not found !");
}

TEST_F(IgesTest, NoteWithCommasIsOneStringAcrossRecords) {
  CadTextMode = 0;
  std::string note =
      "Fit 60 H7/g6, \xF1"
      "0,05 mm at 20\xF8"
      "C, see sheet 2, zone B4, rev. c, ok";
  note += std::string(75 - note.size(), 'x');
  Open();
  cad_text_style(0, 30, 5, 3.5L);
  cad_text(note, 10, 20);
  std::vector<Entity> all = CloseAndRead();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].Type(), 212);
  ASSERT_EQ(all[0].pieces.size(), 3u);
  EXPECT_EQ(all[0].pieces[0], "212,1,75,262.5000,5.0000,1,,0.523599,0,0,10.0000,20.0000,0.0,");
  EXPECT_EQ(all[0].pieces[1].size(), 64u);
  EXPECT_EQ(all[0].pieces[1] + all[0].pieces[2], "75H" + note + ";");
}

TEST_F(IgesTest, SolidOutlineAndClockwiseArc) {
  Open();
  cad_solid(0, 0, 10, 0, 0, 5, 10, 5);
  cad_arc(0, 0, 90, 0, 10, -90);
  cad_circle(5, 5, 10);
  std::vector<Entity> all = CloseAndRead();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].pieces,
            (std::vector<std::string>{"106,1,5,0.0,0.0000,0.0000,", "10.0000,0.0000,",
                                      "10.0000,5.0000,", "0.0000,5.0000,", "0.0000,0.0000;"}));
  EXPECT_EQ(all[0].Field(15), "11");
  EXPECT_EQ(all[1].Params(), "100,0.0,0.0000,0.0000,10.0000,0.0000,0.0000,10.0000;");
  EXPECT_EQ(all[2].Params(), "100,0.0,5.0000,5.0000,15.0000,5.0000,15.0000,5.0000;");
}

TEST_F(IgesTest, ColoursBeyondTheIgesRangeAreZero) {
  Open();
  cad_set_numbered_layers(1);
  for (int n = 7; n <= 15; ++n) {
    cad_layer(n);  // CAD colours 8 to 16
    cad_line(0, n, 1, n);
  }
  std::vector<Entity> all = CloseAndRead();
  ASSERT_EQ(all.size(), 9u);
  std::vector<std::string> colours;
  for (const Entity& e : all) colours.push_back(e.Field(13));
  EXPECT_EQ(colours, (std::vector<std::string>{"8", "0", "0", "0", "0", "0", "0", "1", "0"}));
  EXPECT_EQ(all[0].Field(5), "8");
}

}  // namespace
