// The pick's temporary index in a temporary folder whose path holds a blank: built, opened and
// searched under its whole name, even beside an index named like the path before the blank.
#include <filesystem>

#include "base/text/messages.h"
#include "browsetest.h"
#include "tables/access/tableaccess.h"

namespace {

using namespace dadav;
using namespace accesstest;

class TempIndex : public BrowseTest {};

TEST_F(TempIndex, ATemporaryFolderWithABlankHoldsTheWholeIndexName) {
  std::filesystem::create_directory(Path("my temp"));
  TempDir = Path("my temp") + "/";
  MakeTable("my.dbf", 3);
  MakeTable("rkm1base.dbf", 30);
  OpenTable("my");
  TableIndexOn("NAME", Path("my.ndx"));
  CloseTableFile();
  ASSERT_TRUE(std::filesystem::exists(Path("my.ndx"))) << "a decoy where the blank would cut";
  OpenTable("rkm1base");
  IndexOnTemp("NAME", "rkm1base");
  EXPECT_EQ(MessageCount, 0);
  EXPECT_EQ(DbfForm->ControllingIndex(), TempPath("rkm1base.ndx"));
  TableFind("R17");
  EXPECT_TRUE(TableFound());
  EXPECT_EQ(TableRecNo(), 17);
  CloseTableFile();
}

}  // namespace
