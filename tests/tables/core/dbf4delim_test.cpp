#include "tables/core/dbf4delim.h"
#include "enginetest.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/dbf4lock.h"
#include "tests/support/command.h"

namespace {

using namespace dadav;
using namespace enginetest;

class Delimited : public EngineTest {
 protected:
  // NAME C(10), NOTE M, PRICE N(8,2), BORN D, OK L, BIG N(12); left open exclusive.
  void MakeTable(const std::string& name, int n = 0) {
    auto fill = [](int i) {
      SetText(1, i == 1 ? "Say \"hi\"" : "A,\xE9");
      SetReal(3, i == 1 ? 3.5 : -3.75);
      if (i == 1) PutStoredField(4, "19400501");
      SetLogical(5, i == 1);
      SetInt64(6, 12345678901);
    };
    NewTable(Path(name),
             {Def("NAME", 'C', 10), Def("NOTE", 'M', 10), Def("PRICE", 'N', 8, 2),
              Def("BORN", 'D', 8), Def("OK", 'L', 1), Def("BIG", 'N', 12)},
             n, fill);
  }

  std::int32_t Import(const std::string& bytes) {
    Put("in.txt", bytes);
    return AppendFromDelimited(Path("in.txt"), false);
  }

  static std::string Python(const std::string& script) {
    CommandResult r = RunCommand("/usr/bin/python3 -c '" + script + "'");
    EXPECT_EQ(r.status, 0) << script;
    return r.output;
  }
};

const char kExport[] =
    "\"Say \"\"hi\"\"\",3.50,19400501,T,12345678901\r\n"
    "\"A,\xE9\",-3.75,,F,12345678901\r\n\x1A";

TEST_F(Delimited, ExportWritesEveryFieldButMemosWithQuotesDoubled) {
  MakeTable("t.dbf", 2);
  DecimalChar = ',';
  EXPECT_EQ(CopyToDelimited(Path("out")), 2);
  EXPECT_EQ(Bytes("out.TXT"), kExport);
}

TEST_F(Delimited, ExportReadsBackFieldForField) {
  MakeTable("t.dbf", 2);
  DecimalChar = ',';
  CopyToDelimited(Path("out.txt"));
  CloseArea();
  MakeTable("u.dbf");
  EXPECT_EQ(AppendFromDelimited(Path("OUT.TXT"), false), 2);
  for (int record : {1, 2}) {
    for (int field = 0; field <= 6; ++field) {
      Select(1);
      const std::string got = Stored(field, record);
      USE(Path("t.dbf"));
      EXPECT_EQ(got, Stored(field, record)) << field << " of " << record;
      USE(Path("u.dbf") + " EXCLUSIVE");
    }
  }
}

TEST_F(Delimited, TokensOfHandMadeFiles) {
  CenturyOn = false;
  SetDateFormat(2);
  NewTable(Path("t.dbf"), {Def("NAME", 'C', 5), Def("D1", 'D', 8), Def("D2", 'D', 8),
                           Def("OK", 'L', 1), Def("N", 'N', 4)});
  EXPECT_EQ(Import(" \t\"A,B\" , 19400501,01.05.26,y,12\r\n"
                   "\n"
                   "\"x\"y\"z,bad,,no\r\n"
                   "\"q\"\"\"\r\n"
                   "toolong\n"),
            4);
  EXPECT_EQ(std::tuple(Stored(1, 1), Stored(2, 1), Stored(3, 1), Stored(4, 1), Stored(5, 1)),
            std::tuple("A,B  ", "19400501", "20260501", "T", "  12"));
  // a lone quote still toggles, as files of other xBase programs have them
  EXPECT_EQ(std::tuple(Stored(1, 2), Stored(2, 2), Stored(4, 2), Stored(5, 2)),
            std::tuple("xyz,b", "        ", "F", "   0"));
  EXPECT_EQ(std::tuple(Stored(1, 3), Stored(1, 4)), std::tuple("q\"   ", "toolo"));
}

TEST_F(Delimited, NumbersIgnoreTheDesktopsDecimalSign) {
  DecimalChar = ',';
  ThousandsChar = '.';
  NewTable(Path("t.dbf"), {Def("P", 'N', 8, 2), Def("BIG", 'N', 12), Def("S", 'N', 3)});
  EXPECT_EQ(Import("3.50,12345678901,99999999999\r\n"), 1);
  EXPECT_EQ(std::tuple(Stored(1, 1), Stored(2, 1), Stored(3, 1)),
            std::tuple("    3.50", " 12345678901", "***"));
}

TEST_F(Delimited, LongLinesEndedByCrOrLfAloneAndTheEndMark) {
  NewTable(Path("t.dbf"), {Def("A", 'C', 10), Def("B", 'C', 10)});
  const std::string longLine = "\"" + std::string(3000, 'x') + "\",\"" + std::string(3000, 'y');
  EXPECT_EQ(Import(longLine + "\rb,c\r" + longLine + "\nd,e\n\"f\x1A\"\r\ng\r\n"), 5);
  EXPECT_EQ(
      std::tuple(Stored(1, 1), Stored(2, 1), Stored(1, 2), Stored(2, 4), Stored(1, 5)),
      std::tuple(std::string(10, 'x'), "          ", "b         ", "e         ", "f         "));
  CloseArea();

  // A record that can make a line longer than the usual limit reads it whole.
  std::vector<FieldDescriptor> wide;
  const std::string letters = "abcdefghij";
  for (char c : letters) wide.push_back(Def(std::string(1, c).c_str(), 'C', 250));
  NewTable(Path("w.dbf"), wide);
  std::string line;
  for (char c : letters) line += "\"" + std::string(248, c) + "\"\"\"\"\",";
  ASSERT_GT(line.size(), DelimitedLineMax);
  EXPECT_EQ(Import(line + "\r\n"), 1);
  EXPECT_EQ(Stored(10, 1), std::string(248, 'j') + "\"\"");
}

TEST_F(Delimited, SharedTargetWithoutLockAppendsNothing) {
  NewTable(Path("t.dbf"), {Def("A", 'C', 10)});
  CloseArea();
  USE(Path("t.dbf"));
  EXPECT_THROW(Import("a\r\nb\r\n"), EDadavError);
  EXPECT_EQ(std::tuple(LastErrorCode, RecCount()), std::tuple(5, 0));
  const bool reporting = SetReportErrors(false);
  EXPECT_EQ(std::tuple(Import("a\r\nb\r\n"), LastErrorCode, RecCount()), std::tuple(0, 5, 0));
  SetReportErrors(reporting);
  ASSERT_TRUE(ALock());
  EXPECT_EQ(Import("a\r\nb\r\n"), 2);
  EXPECT_EQ(AppendFromDelimited(Path("none"), false), 0);
  EXPECT_EQ(LastErrorCode, 0);
}

std::vector<std::string> progressCalls;

TEST_F(Delimited, ProgressStepsOncePerHundredthOfTheFile) {
  ProgressWindow.open = [](const std::string& caption) { progressCalls.push_back(caption); };
  ProgressWindow.step = [] { progressCalls.push_back("step"); };
  ProgressWindow.close = [] { progressCalls.push_back("close"); };
  ProgressWindow.idle = [] { progressCalls.push_back("idle"); };
  NewTable(Path("t.dbf"), {Def("A", 'C', 10)});
  std::string lines;
  for (int i = 0; i < 333; ++i) lines += "line\r\n";
  for (const auto& [show, bytes] : {std::pair(true, lines), {true, "a\r\n"}, {false, lines}}) {
    progressCalls.clear();
    Put("in.txt", bytes);
    AppendFromDelimited(Path("in.txt"), show);
    const auto steps = std::count(progressCalls.begin(), progressCalls.end(), "step");
    EXPECT_EQ(steps, show ? std::min<std::size_t>(100, bytes.size()) : 0u) << bytes.size();
    // each line, shorter than a step, either steps or lets the window paint
    const auto idle = std::count(progressCalls.begin(), progressCalls.end(), "idle");
    if (show && bytes == lines) {
      EXPECT_EQ(steps + idle, 333);
    }
    if (show) {
      EXPECT_EQ(progressCalls.front(), "Appending...");
      EXPECT_EQ(progressCalls.back(), "close");
    }
  }
  ProgressWindow = {};
}

TEST_F(Delimited, FailedExportKeepsTheOldFile) {
  MakeTable("t.dbf", 2);
  Put("out.txt", "old");
  const std::string longName(10, 'n');
  for (int i = 0; i < 2000; ++i) {
    ClearRecord();
    SetText(1, longName);
    Append();
  }
  std::string what;
  WithFileSizeLimit(4096, [&] {
    try {
      CopyToDelimited(Path("out.txt"));
      ADD_FAILURE() << "written";
    } catch (const EDadavError& e) {
      what = e.what();
    }
  });
  EXPECT_EQ(LastErrorCode, 101);
  EXPECT_NE(what.find("[CopyToDelimited("), std::string::npos) << what;
  EXPECT_EQ(Bytes("out.txt"), "old");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(Dir()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"out.txt", "t.dbf", "t.dbt"}));
}

TEST_F(Delimited, ExportParsesWithPythonsCsvModule) {
  MakeTable("t.dbf", 2);
  CopyToDelimited(Path("out.txt"));
  EXPECT_EQ(Python("import csv\n"
                   "text = open(\"" +
                   Path("out.txt") +
                   "\", encoding=\"cp1252\", newline=\"\").read().rstrip(\"\\x1a\")\n"
                   "for row in csv.reader(text.splitlines()): print(row)"),
            "['Say \"hi\"', '3.50', '19400501', 'T', '12345678901']\n"
            "['A,\xC3\xA9', '-3.75', '', 'F', '12345678901']\n");
}

TEST_F(Delimited, CsvWrittenFileImports) {
  Python(
      "import csv\n"
      "with open(\"" +
      Path("py.txt") +
      "\", \"w\", encoding=\"cp1252\", newline=\"\") as f:\n"
      "  w = csv.writer(f, quoting=csv.QUOTE_NONNUMERIC)\n"
      "  w.writerow([\"He said \\\"no\\\", twice\", 2.5, \"19400501\"])\n"
      "  w.writerow([\"caf\\u00e9\", -1, \"\"])");
  NewTable(Path("t.dbf"), {Def("NAME", 'C', 25), Def("PRICE", 'N', 6, 2), Def("BORN", 'D', 8)});
  EXPECT_EQ(AppendFromDelimited(Path("py.txt"), false), 2);
  CloseAll();
  EXPECT_EQ(Python("import dbfread\n"
                   "for r in dbfread.DBF(\"" +
                   Path("t.dbf") +
                   "\", encoding=\"cp850\"): print(r[\"NAME\"], r[\"PRICE\"], r[\"BORN\"])"),
            "He said \"no\", twice 2.5 1940-05-01\ncaf\xC3\xA9 -1.0 None\n");
}

}  // namespace
