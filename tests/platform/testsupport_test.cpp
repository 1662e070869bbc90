// The test support every suite builds on: temporary folders under $TMPDIR, so a test run keeps to
// the home ctest gives it, and the folder's mask in report goldens for any length of $TMPDIR.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/maskfolder.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

namespace {

TEST(TestSupport, TempFoldersLieUnderTmpdir) {
  const TempFolder outer;
  const ScopedVariable tmpdir("TMPDIR", outer.Dir());
  std::string made;
  {
    const TempFolder inner;
    made = inner.Dir();
    EXPECT_EQ(std::filesystem::path(made).parent_path(), outer.Dir());
    EXPECT_TRUE(std::filesystem::is_directory(made));
  }
  EXPECT_FALSE(std::filesystem::exists(made));
}

// A padded path keeps its line's width whether the folder is longer or shorter than the mask; a
// path inside a text (an HTML comment) or at the line's end is only replaced.
TEST(TestSupport, MaskKeepsPaddedLinesAtTheirWidth) {
  const std::string boxed =
      "  *  " + std::string(kMaskedFolder) + "/a.KV6" + std::string(30, ' ') + "*\r\n";
  const std::string rest = "<!-- " + std::string(kMaskedFolder) + "/b.htm -->\r\n" +
                           std::string(kMaskedFolder) + "/c.txt\r\n";
  for (const std::string folder : {"/t/x", "/a/rather/longer/temporary/folder/kv6-test-abcdef"}) {
    const std::string boxedHere = "  *  " + folder + "/a.KV6" +
                                  std::string(30 + sizeof kMaskedFolder - 1 - folder.size(), ' ') +
                                  "*\r\n";
    const std::string restHere = "<!-- " + folder + "/b.htm -->\r\n" + folder + "/c.txt\r\n";
    EXPECT_EQ(MaskFolder(boxedHere + restHere, folder), boxed + rest) << folder;
  }
}

}  // namespace
