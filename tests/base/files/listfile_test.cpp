#include "base/files/listfile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tests/support/command.h"
#include "tests/support/tempfolder.h"

namespace {

namespace fs = std::filesystem;

class ValueFileTest : public ::testing::Test, public TempFolder {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.empty());
    InitWbrelvar();
    InitBrelvar();
    DecimalSeparator = '.';
  }
  void TearDown() override {
    if (ListFile.IsOpen()) ListFile.Close();
    AbortFlag = 0;
  }
  void Open(const std::string& name) {
    ListFile.Assign(Path(name));
    ListFile.Reset();
    ASSERT_EQ(ListFile.IoResult(), 0);
  }
  void Create(const std::string& name) {
    ListFile.Assign(Path(name));
    ListFile.Rewrite();
  }
};

// Exact bytes with DOS line ends, which the system's file tool must see too; every writer's line
// reads back with either decimal sign, and reading past the end gives empty values.
TEST_F(ValueFileTest, WritersPutExactBytesAndReadBackWithEitherSeparator) {
  for (const char separator : {'.', ','}) {
    DecimalSeparator = separator;
    Create("v.txt");
    WriteTextLine("  text \x84 ");
    WriteIntLine(-2147483647 - 1);
    WriteIntLine(70000);
    for (const long double x : {0.0L, -3.0L, 0.5L, -1234.5678L}) WriteRealLine(x);
    WriteBoolLine(true);
    WriteBoolLine(false);
    WriteTextLine("J");
    WriteFields4("a", "b", "c", "d");
    WriteFields4("x", "y", "", "z");
    WriteFields6("1", "2", "3", "4", "5", "6");
    WriteFields8("", "", "", "", "", "", "", "8");
    WriteText("tail");
    ListFile.Close();
    std::string expected =
        "  text \x84 \r\n-2147483648\r\n70000\r\n0\r\n-3\r\n0.5000000\r\n-1234.5678000\r\nTRUE\r\n"
        "FALSE\r\nJ\r\na|b|c|d|\r\nx|y||z|\r\n1|2|3|4|5|6|\r\n|||||||8|\r\ntail";
    std::replace(expected.begin(), expected.end(), '.', separator);
    EXPECT_EQ(std::tuple(AbortFlag, Bytes("v.txt")), std::tuple(0, expected));

    Open("v.txt");
    std::string text, a, b, c, d, x1, x2, x3, x4, skipped;
    std::int32_t n = 0;
    std::uint16_t word = 0;
    long double zero = 9, minus3 = 0, x = 0;
    double half = 0;
    bool yes = false, no = true;
    char ch = 0;
    ReadTextLine(text);
    ReadIntLine(n);
    ReadWordLine(word);
    ReadExtLine(zero);
    ReadExtLine(minus3);
    ReadDoubleLine(half);
    ReadExtLine(x);
    ReadBoolLine(yes);
    ReadBoolLine(no);
    ReadCharLine(ch);
    ReadFields4(a, b, c, d);
    ReadFields4(x1, x2, x3, x4);
    for (int i = 0; i < 3; ++i) ReadTextLine(skipped);
    EXPECT_TRUE(ListFile.Eof());
    EXPECT_EQ(std::tuple(AbortFlag, text, n, word, zero, minus3, half, yes, no, ch, skipped),
              std::tuple(0, "  text \x84 ", -2147483647 - 1, 70000 % 65536, 0.0L, -3.0L, 0.5, true,
                         false, 'J', "tail"))
        << separator;
    EXPECT_EQ((std::vector{a, b, c, d, x1, x2, x3, x4}),
              (std::vector<std::string>{"a", "b", "c", "d", "x", "y", "", "z"}));
    EXPECT_NEAR(static_cast<double>(x), -1234.5678, 1e-7) << separator;

    ReadIntLine(n);
    ReadExtLine(x);
    ReadTextLine(text);
    ReadBoolLine(yes);
    ReadCharLine(ch);
    EXPECT_EQ(std::tuple(n + x, text, yes, ch, AbortFlag), std::tuple(0, "", false, '\0', 0));
  }
  const CommandResult verdict = RunCommand("file -b '" + Path("v.txt") + "'");
  ASSERT_EQ(verdict.status, 0) << "the file tool is missing";
  EXPECT_NE(verdict.output.find("CRLF line terminators"), std::string::npos) << verdict.output;
}

TEST_F(ValueFileTest, LineReadersTable) {
  // A line read as a flag, a "not false" flag, a number and four fields.
  // clang-format off
  const std::tuple<const char*, std::tuple<bool, bool, long double, std::string>> cases[] = {
      {"TRUE", {true, true, 0, "///"}}, {"true", {true, true, 0, "///"}},
      {"yes", {false, true, 0, "///"}}, {"False", {false, false, 0, "///"}},
      {"12,5", {false, true, 12.5L, "///"}}, {"1,5,0", {false, true, 0, "///"}},
      {"a|b|c|d|e|", {false, true, 0, "a/b/c/d"}}, {"", {false, true, 0, "///"}}};
  // clang-format on
  for (const auto& [text, expected] : cases) {
    const std::string line = std::string(text) + "\r\n";
    Put("r.txt", line + line + line + line);
    Open("r.txt");
    bool first = !std::get<0>(expected), second = !std::get<1>(expected);
    long double real = 9;
    std::string a = "?", b = "?", x = "?", d = "?";
    ReadBoolLine(first);
    ReadBoolNotFalse(second);
    ReadExtLine(real);
    ReadFields4(a, b, x, d);
    EXPECT_EQ(std::tuple(first, second, real, a + "/" + b + "/" + x + "/" + d), expected) << text;
  }
}

TEST_F(ValueFileTest, LineEndsOfEitherSystemAndCtrlZ) {
  const std::string longLine(200000, 'x');
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      // clang-format off
      {"one\ntwo\n", {"one", "two"}}, {"one\r\ntwo", {"one", "two"}}, {"a\rb\n", {"a\rb"}},
      {"one\r\ntw\x1Ao\r\nthree\r\n", {"one", "tw"}}, {"one\r\n\x1A", {"one"}},
      {"\r\n\n", {"", ""}}, {longLine + "\r\nb", {longLine, "b"}},
      // clang-format on
  };
  for (const auto& [bytes, expected] : cases) {
    Put("l.txt", bytes);
    Open("l.txt");
    std::vector<std::string> lines;
    while (!ListFile.Eof()) ReadTextLine(lines.emplace_back());
    EXPECT_EQ(lines, expected) << bytes.substr(0, 20);
  }
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(ValueFileTest, WriteErrorsSetAbort) {
  ListFile.Assign("/dev/full");
  ListFile.Rewrite();
  ASSERT_EQ(ListFile.IoResult(), 0);
  WriteTextLine("lost");
  ListFile.Close();
  EXPECT_EQ(std::tuple(ListFile.IoResult(), AbortFlag), std::tuple(IoWriteError, 1))
      << "a full disk surfaces at the latest by close";

  AbortFlag = 0;
  Put("plain", "x");
  Create("plain/sub.txt");
  EXPECT_EQ(std::tuple(ListFile.IoResult(), AbortFlag), std::tuple(IoPathNotFound, 0))
      << "an open only records its result";
  WriteTextLine("nowhere");
  EXPECT_EQ(std::tuple(ListFile.IoResult(), AbortFlag), std::tuple(IoFileNotOpen, 1));
  bool b = true;
  ReadBoolLine(b);
  EXPECT_TRUE(b) << "a failed read keeps the value";
}

TEST(FileFailureTextTest, EveryCauseIsNamedInWords) {
  EXPECT_EQ(FileFailureText(EEXIST, IoWriteError), "File exists");
}

TEST_F(ValueFileTest, OpenResultsAndTheCaseBlindName) {
  Put("Config.CFG", "found\r\n");
  fs::create_directory(Path("folder"));
  const std::pair<std::string, std::int32_t> cases[] = {{"missing.cfg", IoFileNotFound},
                                                        {"Config.CFG/x", IoPathNotFound},
                                                        {"folder", IoAccessDenied},
                                                        {"config.cfg", 0}};
  for (const auto& [name, result] : cases) {
    ListFile.Assign(Path(name));
    ListFile.Reset();
    EXPECT_EQ(ListFile.IoResult(), result) << name;
  }
  std::string line;
  ReadTextLine(line);
  EXPECT_EQ(line, "found");
  ListFile.Close();
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(ValueFileTest, AnOpenFileIsClosedBeforeItsLinesCouldBeLost) {
  Create("first.txt");
  WriteTextLine("kept");
  Create("second.txt");
  EXPECT_EQ(Bytes("first.txt"), "kept\r\n") << "opening again closes the old file first";
  {
    TextFile local;
    local.Assign(Path("local.txt"));
    local.Rewrite();
    local.WriteLine("flushed");
  }
  EXPECT_EQ(Bytes("local.txt"), "flushed\r\n");
}

// In a folder everyone may write, a file written in place is never reached through another user's
// link.
TEST_F(ValueFileTest, AFileWrittenInPlaceFollowsNoOtherUsersLink) {
  Put("victim", "kept");
  ASSERT_EQ(::chmod(Dir().c_str(), 01777), 0);
  if (::symlink(Path("victim").c_str(), Path("out.txt").c_str()) != 0 ||
      ::lchown(Path("out.txt").c_str(), 1, 1) != 0)
    GTEST_SKIP() << "only the superuser gives files";
  ListFile.Assign(Path("out.txt"));
  ListFile.Rewrite();
  EXPECT_EQ(ListFile.IoResult(), IoAccessDenied);
  EXPECT_EQ(Bytes("victim"), "kept");
}

// Writes of more than a few bytes fail while it lives, as on a full disk.
class FileSizeLimit {
 public:
  FileSizeLimit() {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    rlimit small = before_;
    small.rlim_cur = 4;
    ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    ::signal(SIGXFSZ, SIG_DFL);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
};

// A file written whole replaces the old one only complete: a failed write or rename, a discarded
// output and one left open for the next open leave the old bytes and nothing beside them.
TEST_F(ValueFileTest, AWholeFileReplacesTheOldOneOnlyComplete) {
  enum class Ending { Closed, WriteFails, RenameFails, Discarded, LeftOpen };
  const std::tuple<Ending, std::int32_t, const char*> cases[] = {
      {Ending::Closed, 0, "new line\r\n"},
      {Ending::WriteFails, IoWriteError, "old"},
      {Ending::RenameFails, IoWriteError, "old"},
      {Ending::Discarded, 0, "old"},
      {Ending::LeftOpen, 0, "old"}};
  for (const auto& [ending, result, bytes] : cases) {
    SCOPED_TRACE(static_cast<int>(ending));
    Put("out.txt", "old");
    AbortFlag = 0;
    ListFile.AssignWhole(Path("out.txt"));
    ListFile.Rewrite();
    ASSERT_EQ(ListFile.IoResult(), 0);
    WriteTextLine("new line");
    EXPECT_EQ(Bytes("out.txt"), "old") << "nothing reaches the file before its close";
    if (ending == Ending::WriteFails) {
      const FileSizeLimit limit;
      ListFile.Close();
    } else if (ending == Ending::RenameFails) {
      platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
      faults->FailStep(1);
      ListFile.Close();
    } else if (ending == Ending::Discarded) {
      ListFile.Discard();
    } else if (ending == Ending::LeftOpen) {
      ListFile.Assign(Path("out.txt"));
      ListFile.Reset();
      ListFile.Close();
    } else {
      ListFile.Close();
    }
    EXPECT_EQ(std::tuple(ListFile.IoResult(), AbortFlag), std::tuple(result, result != 0));
    EXPECT_EQ(Bytes("out.txt"), bytes);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  }
  fs::create_symlink("/dev/full", Path("full.txt"));
  ListFile.AssignWhole(Path("full.txt"));
  ListFile.Rewrite();
  WriteTextLine("lost");
  ListFile.Close();
  EXPECT_EQ(ListFile.IoResult(), IoWriteError);
  EXPECT_TRUE(fs::is_character_file("/dev/full")) << "a device is written to, not replaced";
  // A file with a second name is written in place, so a discarded output is closed as Close
  // closes it.
  ASSERT_EQ(::link(Path("out.txt").c_str(), Path("second.txt").c_str()), 0);
  ListFile.AssignWhole(Path("out.txt"));
  ListFile.Rewrite();
  WriteTextLine("kept");
  ListFile.Discard();
  EXPECT_EQ(Bytes("second.txt"), "kept\r\n");
}

TEST(FieldSplitTest, CountsFieldsUpToTheLastBar) {
  using Fields = std::vector<std::string>;
  EXPECT_EQ(SplitFields("a||c|d|e|f|7||", 8), (Fields{"a", "", "c", "d", "e", "f", "7", ""}));
  EXPECT_EQ(SplitFields("1|2|3|tail without bar", 6), (Fields{"1", "2", "3", "", "", ""}));
  EXPECT_EQ(SplitFields("x|y|z|", 2), (Fields{"x", "y"}));
  EXPECT_EQ(SplitFields("", 3), Fields(3));
}

TEST_F(ValueFileTest, ListingHeaderLines) {
  LongTitle = "KV6  -  polygon profile P3G";
  ShortName = "kv6";
  ProgVersion = "4.1";
  DrawingTexts[1] = "one";
  DrawingTexts[3] = "three";
  Create("h.kv6");
  ListingHeader();
  ListFile.Close();
  const std::string rule(65, '-');
  EXPECT_EQ(Bytes("h.kv6"), rule + "\r\nKV6  -  polygon profile P3G   V 4.1\r\nVersion 4.1\r\n" +
                                rule + "\r\none\r\n\r\nthree\r\n");
}

}  // namespace
