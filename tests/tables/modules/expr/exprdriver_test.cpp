#include <gtest/gtest.h>

#include "tests/support/command.h"
#include "tests/tables/modules/expr/exprtest.h"

namespace exprtest {
namespace {

class Driver : public ExprTest {};

TEST_F(Driver, PrintsOneLinePerRecordAndExpression) {
  using enginetest::Def;
  const std::string table = Path("drive.dbf");
  dadav::CreateDBF(table, {Def("NAME", 'C', 4), Def("PRICE", 'N', 6, 2), Def("BORN", 'D', 8),
                           Def("OK", 'L', 1)});
  dadav::USE(table + " EXCLUSIVE");
  for (int i = 1; i <= 2; ++i) {
    dadav::ClearRecord();
    enginetest::SetText(1, i == 1 ? "a\\b" : "x\ty");
    enginetest::SetReal(2, i * 1.25);
    if (i == 2) enginetest::SetText(3, "05/01/40");
    enginetest::SetLogical(4, i == 2);
    dadav::Append();
  }
  dadav::USE("");
  const std::string exprs = "NAME\r\nPRICE * 2\n\nBORN\nOK\n1 +\n1/0\n";
  enginetest::WriteBytes(Path("exprs.txt"), std::vector<std::uint8_t>(exprs.begin(), exprs.end()));
  const CommandResult result =
      RunCommand(std::string(KV6_EXPR_DRIVER) + " --century " + table + " " + Path("exprs.txt"));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.output,
            "C a\\\\b \nN 2.5\nD -\nL F\nE 351\nE 358\n"
            "C x\\x09y \nN 5\nD 20400501\nL T\nE 351\nE 358\n");
  EXPECT_EQ(RunCommand(std::string(KV6_EXPR_DRIVER) + " " + table).status, 2);
}

}  // namespace
}  // namespace exprtest
