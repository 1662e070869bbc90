// Date fields read from whatever their stored text holds: blank, partly blank, not digits,
// impossible days and the calendar's ends. DTOS, comparisons, arithmetic, the date functions
// and index keys of such records give what they gave when every date went through its day
// number, and reading the field straight agrees with reading it through date arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tests/tables/modules/expr/exprtest.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace exprtest {
namespace {

using enginetest::Def;

// BORN takes these texts in turn and WED the next one, so every pair of kinds meets.
const std::vector<std::string>& DateTexts() {
  static const std::vector<std::string> texts = {
      "19400501",
      "20000229",
      "19000229",
      "20010229",
      "21000229",
      "16000229",
      "00000101",
      "00010101",
      "99991231",
      "00001231",
      "        ",
      "1940 501",
      "194005  ",
      "    0501",
      " 9400501",
      "19401301",
      "19400001",
      "19400100",
      "19400132",
      "19400431",
      "1940050X",
      "+1940050",
      "1940-5-1",
      "1e400501",
      "99999999",
      "12345678",
      "20240229",
      "19991231",
      "0001010 ",
      std::string("1940\0"
                  "501",
                  8),
      "\xb9"
      "9400501",
  };
  return texts;
}

class StoredDates : public ndxtest::IndexTest {
 protected:
  // Errors are raised as the other tests expect them, whatever a test here chose.
  void SetUp() override {
    IndexTest::SetUp();
    reportErrors_ = dadav::SetReportErrors(true);
  }
  void TearDown() override {
    dadav::SetReportErrors(reportErrors_);
    IndexTest::TearDown();
  }

  // DATED: NAME C(4), BORN D, WED D, the stored texts written into the file as they are.
  void DatedTable() {
    const std::vector<std::string>& texts = DateTexts();
    const std::string path = Path("dated.dbf");
    enginetest::NewTable(path, {Def("NAME", 'C', 4), Def("BORN", 'D', 8), Def("WED", 'D', 8)},
                         static_cast<int>(texts.size()));
    dadav::CloseAll();
    std::vector<std::uint8_t> bytes = enginetest::ReadBytes(path);
    const std::size_t header = bytes[8] | bytes[9] << 8;
    const std::size_t length = bytes[10] | bytes[11] << 8;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const std::string name = "ab" + std::to_string(i % 10);
      const std::string& wed = texts[(i + 1) % texts.size()];
      std::uint8_t* record = bytes.data() + header + i * length;
      std::copy(name.begin(), name.end(), record + 1);
      std::copy(texts[i].begin(), texts[i].end(), record + 5);
      std::copy(wed.begin(), wed.end(), record + 13);
    }
    enginetest::WriteBytes(path, bytes);
    dadav::USE(path + " EXCLUSIVE");
    dadav::CenturyOn = false;
    dadav::SetDateFormat(0);
  }

  // Every record's results of the expressions, "|" between them, one line a record.
  std::vector<std::string> Results(const std::vector<std::string>& texts) {
    std::vector<Handle> handles;
    for (const std::string& text : texts) {
      handles.push_back(Compile(text));
      EXPECT_NE(handles.back(), nullptr) << text;
      if (handles.back() == nullptr) return {};
    }
    std::vector<std::string> lines;
    for (dadav::GoTop(); !dadav::Area()->eof; dadav::SKIP(1)) {
      std::string line;
      for (const Handle& handle : handles) {
        if (!line.empty()) line += "|";
        line += Text(*handle, dadav::EvalCompiled(handle.get()));
      }
      lines.push_back(line);
    }
    return lines;
  }

  static std::string Text(const dadav::CompiledExpr& expr, const void* result) {
    switch (expr.type) {
      case 'C':
        return static_cast<const char*>(result);
      case 'L':
        return *static_cast<const std::int32_t*>(result) != 0 ? "T" : "F";
      default: {
        char number[32];
        std::snprintf(number, sizeof number, "%.15g", *static_cast<const double*>(result));
        return number;
      }
    }
  }

  // The records in the index's order, each with its key's first bytes as text.
  std::string IndexOrder(const std::string& expression, bool showKeys) {
    const std::string name = Path("order.ndx");
    dadav::IndexOnExpr(expression, name);
    std::string order;
    for (const ndxtest::Entry& entry : ndxtest::CheckIndexFile(name).entries) {
      order += std::to_string(entry.second);
      if (showKeys) order += "=" + entry.first.substr(0, 8);
      order += " ";
    }
    dadav::CloseAll();
    dadav::USE(Path("dated.dbf") + " EXCLUSIVE");
    return order;
  }

 private:
  bool reportErrors_ = true;
};

TEST_F(StoredDates, GiveWhatTheDayNumberGave) {
  DatedTable();
  // clang-format off
  const std::vector<std::string> expected = {
      "19400501|02/29/00|-21853|F|F|T|T|19400502|1940|3|AB0 19400501|20000229ab0 ",
      "20000229|  /  /  |2451604|F|T|F|F|20000301|2000|0|AB1 20000229|        ab1 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB2         |        ab2 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB3         |        ab3 ",
      "        |02/29/00|-2305507|F|F|T|T|        |0|3|AB4         |16000229ab4 ",
      "16000229|  /  /  |2305507|F|T|F|T|16000301|1600|0|AB5 16000229|        ab5 ",
      "        |01/01/01|-1721426|F|F|T|T|        |0|2|AB6         |00010101ab6 ",
      "00010101|12/31/99|-3652058|F|F|T|T|00010102|1|6|AB7 00010101|99991231ab7 ",
      "99991231|  /  /  |5373484|F|T|F|T|        |9999|0|AB8 99991231|        ab8 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB9         |        ab9 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB0         |        ab0 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB1         |        ab1 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB2         |        ab2 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB3         |        ab3 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB4         |        ab4 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB5         |        ab5 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB6         |        ab6 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB7         |        ab7 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB8         |        ab8 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB9         |        ab9 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB0         |        ab0 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB1         |        ab1 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB2         |        ab2 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB3         |        ab3 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB4         |        ab4 ",
      "        |02/29/24|-2460370|F|F|T|T|        |0|5|AB5         |20240229ab5 ",
      "20240229|12/31/99|8826|F|T|F|T|20240301|2024|6|AB6 20240229|19991231ab6 ",
      "19991231|  /  /  |2451544|F|T|F|T|20000101|1999|0|AB7 19991231|        ab7 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB8         |        ab8 ",
      "        |  /  /  |0|T|F|T|T|        |0|0|AB9         |        ab9 ",
      "        |05/01/40|-2429751|F|F|T|T|        |0|4|AB0         |19400501ab0 ",
  };
  // clang-format on
  EXPECT_EQ(Results({"DTOS(BORN)", "DTOC(WED)", "BORN - WED", "BORN = WED", "BORN > WED",
                     "BORN <= WED", "BORN <> CTOD('02/29/00')", "DTOS(BORN + 1)", "YEAR(BORN)",
                     "DOW(WED)", "UPPER(NAME) + DTOS(BORN)", "DTOS(DATED->WED) + NAME"}),
            expected);
}

TEST_F(StoredDates, IndexKeysKeepTheirOrder) {
  DatedTable();
  const std::string blanks = "3 4 5 7 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 29 30 31 ";
  std::string blankKeys;
  for (std::size_t at = 0; at < blanks.size(); at = blanks.find(' ', at) + 1)
    blankKeys += blanks.substr(at, blanks.find(' ', at) - at) + "=         ";
  EXPECT_EQ(IndexOrder("DTOS(BORN)", true),
            blankKeys +
                "8=00010101 6=16000229 1=19400501 28=19991231 2=20000229 27=20240229 9=99991231 ");
  EXPECT_EQ(IndexOrder("BORN", false), blanks + "8 6 1 28 2 27 9 ");
  EXPECT_EQ(IndexOrder("UPPER(NAME) + DTOS(WED)", false),
            "11 21 31 1 2 12 22 3 13 23 4 14 24 15 25 5 6 16 26 17 7 27 18 28 8 9 19 29 10 20 30 ");
}

// Reading a date field through arithmetic (BORN + 0) is the day number's way; reading it bare
// may take a shorter one, which must give the same.
TEST_F(StoredDates, BareFieldAgreesWithDateArithmetic) {
  DatedTable();
  const char* forms[][2] = {
      {"DTOS(BORN)", "DTOS(BORN + 0)"},
      {"DTOS(WED) + DTOS(BORN)", "DTOS(WED + 0) + DTOS(BORN - 0)"},
      {"BORN = WED", "BORN + 0 = WED + 0"},
      {"BORN < WED", "BORN + 0 < WED + 0"},
      {"BORN >= WED", "BORN + 0 >= WED + 0"},
      {"BORN <> WED", "BORN + 0 <> WED + 0"},
      {"BORN > CTOD('05/01/40')", "BORN + 0 > CTOD('05/01/40')"},
      {"DTOS(DATED->BORN)", "DTOS(DATED->BORN + 0)"},
      {"DTOS(MAX(BORN, WED))", "DTOS(MAX(BORN + 0, WED + 0))"},
  };
  for (const auto& [bare, through] : forms) EXPECT_EQ(Results({bare}), Results({through})) << bare;
}

// Where the field cannot be read as stored (no table, another table's field of that number, an
// empty table), the bare field gives the result, error and message of date arithmetic.
TEST_F(StoredDates, UnreadableFieldsAgreeWithDateArithmetic) {
  DatedTable();
  dadav::Area()->alias = "DATED";
  const std::pair<Handle, Handle> pairs[] = {
      {Compile("DTOS(BORN)"), Compile("DTOS(BORN + 0)")},
      {Compile("DTOS(DATED->WED) + 'x'"), Compile("DTOS(DATED->WED - 0) + 'x'")},
      {Compile("UPPER(NAME) + DTOS(BORN)"), Compile("UPPER(NAME) + DTOS(BORN + 0)")},
  };
  dadav::SetReportErrors(false);
  const auto same = [&](const std::string& where) {
    for (const auto& [bare, through] : pairs) {
      dadav::LastErrorCode = 0;
      const std::string a = static_cast<const char*>(dadav::EvalCompiled(bare.get()));
      const std::int32_t aCode = dadav::LastErrorCode;
      const std::string aMessage = aCode != 0 ? dadav::TakeLastMessage() : "";
      dadav::LastErrorCode = 0;
      const std::string b = static_cast<const char*>(dadav::EvalCompiled(through.get()));
      EXPECT_EQ(std::tuple(a, aCode, aMessage),
                std::tuple(b, dadav::LastErrorCode,
                           dadav::LastErrorCode != 0 ? dadav::TakeLastMessage() : ""))
          << where << " " << bare->text;
    }
  };
  same("stored");
  dadav::Select(2);
  same("no table");
  enginetest::NewTable(Path("other.dbf"), {Def("NAME", 'C', 4), Def("BORN", 'C', 8)}, 1);
  same("another table");
  dadav::USE("");
  enginetest::NewTable(Path("empty.dbf"), {Def("NAME", 'C', 4), Def("BORN", 'D', 8)});
  same("an empty table");
}

}  // namespace
}  // namespace exprtest
