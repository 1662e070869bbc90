#include "base/listfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/brelvar.h"
#include "base/numbertext.h"
#include "base/wbrelvar.h"

namespace {

namespace fs = std::filesystem;

class ValueFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    DecimalSeparator = '.';
    char pattern[] = "/tmp/kv6-listfile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    if (ListFile.IsOpen()) ListFile.Close();
    AbortFlag = 0;
    fs::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  std::string Bytes(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  void OpenForReading(const std::string& name) {
    ListFile.Assign(Path(name));
    ListFile.Reset();
    ASSERT_EQ(ListFile.IoResult(), 0);
  }

  std::string dir_;
};

TEST_F(ValueFileTest, WritersPutExactBytesWithDosLineEnds) {
  ListFile.Assign(Path("v.txt"));
  ListFile.Rewrite();
  WriteTextLine("text \x84");
  WriteIntLine(-42);
  WriteRealLine(0);
  WriteRealLine(-3);
  WriteRealLine(0.5L);
  WriteRealLine(12.5L);
  WriteBoolLine(true);
  WriteBoolLine(false);
  WriteFields4("a", "b", "c", "d");
  WriteFields6("1", "2", "3", "4", "5", "6");
  WriteFields8("", "", "", "", "", "", "", "8");
  WriteText("tail");
  ListFile.Close();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Bytes("v.txt"),
            "text \x84\r\n-42\r\n0\r\n-3\r\n0.5000000\r\n12.5000000\r\nTRUE\r\nFALSE\r\n"
            "a|b|c|d|\r\n1|2|3|4|5|6|\r\n|||||||8|\r\ntail");
}

// The system's own file tool must recognise the files as DOS text.
TEST_F(ValueFileTest, FileToolSeesCrLfLineEnds) {
  ListFile.Assign(Path("dos.cfg"));
  ListFile.Rewrite();
  WriteTextLine("BRELCOR configuration");
  WriteRealLine(2.5L);
  WriteBoolLine(true);
  ListFile.Close();
  std::string verdict;
  FILE* pipe = ::popen(("file -b '" + Path("dos.cfg") + "'").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) verdict += static_cast<char>(c);
  ASSERT_EQ(::pclose(pipe), 0) << "the file tool is missing";
  EXPECT_NE(verdict.find("CRLF line terminators"), std::string::npos) << verdict;
}

// With either decimal separator of the user's settings.
TEST_F(ValueFileTest, EveryWriterReadsBackThroughItsReader) {
  for (const char separator : {'.', ','}) {
    DecimalSeparator = separator;
    ListFile.Assign(Path("round.txt"));
    ListFile.Rewrite();
    WriteTextLine("  blanks kept  ");
    WriteIntLine(-2147483647 - 1);
    WriteIntLine(70000);
    WriteRealLine(-1234.5678L);
    WriteRealLine(0.25L);
    WriteBoolLine(true);
    WriteBoolLine(false);
    WriteTextLine("J");
    WriteFields4("x", "y", "", "z");
    ListFile.Close();
    EXPECT_NE(Bytes("round.txt").find(std::string("0") + separator + "2500000\r\n"),
              std::string::npos);

    OpenForReading("round.txt");
    std::string text, a, b, c, d;
    std::int32_t n = 0;
    std::uint16_t word = 0;
    long double x = 0;
    double y = 0;
    bool yes = false, no = true;
    char ch = 0;
    ReadTextLine(text);
    ReadIntLine(n);
    ReadWordLine(word);
    ReadExtLine(x);
    ReadDoubleLine(y);
    ReadBoolLine(yes);
    ReadBoolNotFalse(no);
    ReadCharLine(ch);
    ReadFields4(a, b, c, d);
    EXPECT_TRUE(ListFile.Eof());
    ListFile.Close();
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_EQ(text, "  blanks kept  ");
    EXPECT_EQ(n, -2147483647 - 1);
    EXPECT_EQ(word, 70000 % 65536);
    EXPECT_NEAR(static_cast<double>(x), -1234.5678, 1e-7) << separator;
    EXPECT_DOUBLE_EQ(y, 0.25) << separator;
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    EXPECT_EQ(ch, 'J');
    EXPECT_EQ(a + "," + b + "," + c + "," + d, "x,y,,z");
  }
}

TEST_F(ValueFileTest, RealsReadWithCommaOrPoint) {
  Put("r.txt", "12,5\r\n-0.125\r\n1,5,0\r\nabc\r\n");
  OpenForReading("r.txt");
  long double values[4] = {9, 9, 9, 9};
  for (long double& v : values) ReadExtLine(v);
  EXPECT_EQ(values[0], 12.5L);
  EXPECT_EQ(values[1], -0.125L);
  EXPECT_EQ(values[2], 0);
  EXPECT_EQ(values[3], 0);
}

TEST_F(ValueFileTest, BooleanReadersTable) {
  struct Case {
    const char* line;
    bool isTrue;
    bool notFalse;
  };
  const Case cases[] = {{"TRUE", true, true},    {"true", true, true},    {"yes", false, true},
                        {"FALSE", false, false}, {"False", false, false}, {"", false, true}};
  for (const Case& c : cases) {
    Put("b.txt", std::string(c.line) + "\r\n" + c.line + "\r\n");
    OpenForReading("b.txt");
    bool first = !c.isTrue, second = !c.notFalse;
    ReadBoolLine(first);
    ReadBoolNotFalse(second);
    EXPECT_EQ(first, c.isTrue) << c.line;
    EXPECT_EQ(second, c.notFalse) << c.line;
  }
}

TEST_F(ValueFileTest, BooleanReadersKeepTheValueAfterAFailure) {
  bool b = true;
  ReadBoolLine(b);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(b);
  b = false;
  ReadBoolNotFalse(b);
  EXPECT_FALSE(b);
}

TEST_F(ValueFileTest, FieldsCutAtFirstFourBars) {
  struct Case {
    const char* line;
    const char* joined;
  };
  const Case cases[] = {{"a|b|c|d|e|", "a/b/c/d"}, {"a|b", "a///"}, {"", "///"}, {"|||", "///"}};
  for (const Case& c : cases) {
    Put("f.txt", std::string(c.line) + "\r\n");
    OpenForReading("f.txt");
    std::string a = "?", b = "?", x = "?", d = "?";
    ReadFields4(a, b, x, d);
    EXPECT_EQ(a + "/" + b + "/" + x + "/" + d, c.joined) << c.line;
  }
}

TEST_F(ValueFileTest, LineEndsOfEitherSystemAndCtrlZ) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"lf", "one\ntwo\n", {"one", "two"}},
      {"crlf", "one\r\ntwo\r\n", {"one", "two"}},
      {"no final end", "one\r\ntwo", {"one", "two"}},
      {"lone cr stays", "a\rb\n", {"a\rb"}},
      {"ctrl-z ends", std::string("one\r\ntw\x1Ao\r\nthree\r\n"), {"one", "tw"}},
      {"ctrl-z at line start", std::string("one\r\n\x1A"), {"one"}},
      {"empty lines", "\r\n\n", {"", ""}},
  };
  for (const Case& c : cases) {
    Put("l.txt", c.bytes);
    OpenForReading("l.txt");
    std::vector<std::string> lines;
    while (!ListFile.Eof()) {
      std::string line;
      ReadTextLine(line);
      lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines) << c.name;
  }
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(ValueFileTest, LinesLongerThanTheBufferStayWhole) {
  const std::string longLine(200000, 'x');
  Put("long.txt", "a\r\n" + longLine + "\r\nb");
  OpenForReading("long.txt");
  std::string a, big, b;
  ReadTextLine(a);
  ReadTextLine(big);
  ReadTextLine(b);
  EXPECT_EQ(a, "a");
  EXPECT_EQ(big, longLine);
  EXPECT_EQ(b, "b");
}

TEST_F(ValueFileTest, ReadingPastTheEndGivesEmptyValuesWithoutAbort) {
  Put("short.txt", "7\r\n");
  OpenForReading("short.txt");
  std::int32_t first = 0, n = 5;
  long double x = 5;
  std::string text = "old";
  bool b = true;
  char c = 'x';
  ReadIntLine(first);
  ReadIntLine(n);
  ReadExtLine(x);
  ReadTextLine(text);
  ReadBoolLine(b);
  ReadCharLine(c);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(text, "");
  EXPECT_FALSE(b);
  EXPECT_EQ(c, '\0');
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(ValueFileTest, FullDiskSurfacesAtClose) {
  ListFile.Assign("/dev/full");
  ListFile.Rewrite();
  ASSERT_EQ(ListFile.IoResult(), 0);
  WriteTextLine("lost");
  ListFile.Close();
  EXPECT_EQ(ListFile.IoResult(), IoWriteError);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(ListFile.IsOpen());
}

TEST_F(ValueFileTest, WriteBelowARegularFileFails) {
  Put("plain", "x");
  ListFile.Assign(Path("plain/sub.txt"));
  ListFile.Rewrite();
  EXPECT_EQ(ListFile.IoResult(), IoPathNotFound);
  EXPECT_EQ(AbortFlag, 0) << "an open only records its result";
  WriteTextLine("nowhere");
  EXPECT_EQ(ListFile.IoResult(), IoFileNotOpen);
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(ValueFileTest, OpenResultsAndTheCaseBlindName) {
  Put("Config.CFG", "found\r\n");
  fs::create_directory(Path("folder"));
  struct Case {
    std::string name;
    std::int32_t result;
  };
  const Case cases[] = {{"missing.cfg", IoFileNotFound},
                        {"nodir/x.cfg", IoFileNotFound},
                        {"Config.CFG/x", IoPathNotFound},
                        {"folder", IoAccessDenied},
                        {"config.cfg", 0}};
  for (const Case& c : cases) {
    ListFile.Assign(Path(c.name));
    ListFile.Reset();
    EXPECT_EQ(ListFile.IoResult(), c.result) << c.name;
  }
  std::string line;
  ReadTextLine(line);
  EXPECT_EQ(line, "found");
  ListFile.Close();
  EXPECT_EQ(AbortFlag, 0);
  ListFile.Close();
  EXPECT_EQ(ListFile.IoResult(), IoFileNotOpen);
}

TEST_F(ValueFileTest, OpeningAgainClosesTheOldFileFirst) {
  ListFile.Assign(Path("first.txt"));
  ListFile.Rewrite();
  WriteTextLine("kept");
  ListFile.Assign(Path("second.txt"));
  ListFile.Rewrite();
  EXPECT_EQ(Bytes("first.txt"), "kept\r\n");
  ListFile.Close();
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(ValueFileTest, ListingHeaderLines) {
  LongTitle = "KV6  -  polygon profile P3G";
  ShortName = "kv6";
  ProgVersion = "4.1";
  DrawingTexts[1] = "one";
  DrawingTexts[3] = "three";
  ListFile.Assign(Path("h.kv6"));
  ListFile.Rewrite();
  ListingHeader();
  ListFile.Close();
  const std::string rule(65, '-');
  EXPECT_EQ(Bytes("h.kv6"), rule + "\r\nKV6  -  polygon profile P3G   V 4.1\r\nVersion 4.1\r\n" +
                                rule + "\r\none\r\n\r\nthree\r\n");
}

}  // namespace
