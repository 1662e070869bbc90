#include "tests/tables/modules/ndxchecker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/blockfile.h"
#include "tables/modules/ndxfile.h"
#include "tables/modules/ndxformat.h"
#include "tests/support/tempfolder.h"

namespace ndxtest {
namespace {

using dadav::NdxBlock;
using dadav::NdxNodeView;

// One node as written: (child, key) entries, keys one letter padded to 4 bytes, and the
// trailing child of an inner node (0 for a leaf).
struct CraftedNode {
  std::vector<std::pair<std::uint32_t, char>> entries;
  std::uint32_t trailing = 0;
};

class CheckerTest : public ::testing::Test, protected TempFolder {
 protected:
  // Writes nodes 1.. with the given root and returns the checker's verdict.
  NdxWalk Check(const std::vector<CraftedNode>& nodes, std::uint32_t root, bool exact) {
    dadav::NdxAnchor anchor = dadav::NewNdxAnchor('C', 4, false);
    anchor.SetRoot(root);
    anchor.SetNextFree(static_cast<std::uint32_t>(nodes.size() + 1));
    platform::BlockFile file;
    EXPECT_EQ(file.Create(Path("c.ndx")), 0);
    EXPECT_EQ(dadav::WriteNdxBlock(file, 0, dadav::NdxAnchorBlock(anchor, "K", 0, "T.DBF")), 0);
    std::uint32_t record = 0;
    for (std::size_t n = 0; n < nodes.size(); ++n) {
      NdxBlock block{};
      NdxNodeView node(block, anchor.EntrySize());
      const auto& entries = nodes[n].entries;
      node.SetCount(static_cast<std::uint16_t>(entries.size()));
      for (std::uint16_t i = 0; i < entries.size(); ++i) {
        node.SetChild(i, entries[i].first);
        node.SetRecord(i, entries[i].first == 0 ? ++record : 0);
        std::memset(node.Key(i), ' ', 4);
        node.Key(i)[0] = static_cast<std::uint8_t>(entries[i].second);
      }
      if (nodes[n].trailing != 0) node.SetTrailingChild(nodes[n].trailing);
      EXPECT_EQ(dadav::WriteNdxBlock(file, static_cast<std::uint32_t>(n + 1), block), 0);
    }
    file.Close();
    return CheckNdxFile(Path("c.ndx"), exact);
  }
};

std::string Keys(const NdxWalk& walk) {
  std::string keys;
  for (const auto& entry : walk.entries) keys += entry.first[0];
  return keys;
}

CraftedNode Leaf(const std::string& keys) {
  CraftedNode node;
  for (char key : keys) node.entries.push_back({0, key});
  return node;
}

TEST_F(CheckerTest, ASoundTreeIsWalkedInOrder) {
  // Root 3 over leaves 1 (A B) and 2 (C D).
  const NdxWalk walk = Check({Leaf("AB"), Leaf("CD"), {{{1, 'B'}}, 2}}, 3, true);
  EXPECT_EQ(walk.fault, "");
  EXPECT_EQ(Keys(walk), "ABCD");
  EXPECT_EQ(walk.entries[2].second, 3u);
  EXPECT_EQ(Check({Leaf("")}, 1, true).fault, "");
  // A peer's root without keys over one child.
  EXPECT_EQ(Check({Leaf("AB"), {{}, 1}}, 2, true).fault, "");
}

TEST_F(CheckerTest, SeparatorsMustLieBetweenTheirNeighbours) {
  // Too high (C above B) is sound, but not as a build writes it.
  EXPECT_EQ(Check({Leaf("AB"), Leaf("CD"), {{{1, 'C'}}, 2}}, 3, false).fault, "");
  EXPECT_NE(Check({Leaf("AB"), Leaf("CD"), {{{1, 'C'}}, 2}}, 3, true).fault, "");
  // Too low: B lies below it.
  EXPECT_NE(Check({Leaf("AB"), Leaf("CD"), {{{1, 'A'}}, 2}}, 3, false).fault, "");
  // Too high for the keys right of it.
  EXPECT_NE(Check({Leaf("AB"), Leaf("CD"), {{{1, 'D'}}, 2}}, 3, false).fault, "");
}

TEST_F(CheckerTest, ShapeFaultsAreFound) {
  // Leaves 1 | 2 3 under inner nodes 4 (no key, trailing 1) and 5, root 6: sound but for 4.
  const std::vector<CraftedNode> keyless = {Leaf("AB"), Leaf("C"),       Leaf("D"),
                                            {{}, 1},    {{{2, 'C'}}, 3}, {{{4, 'B'}}, 5}};
  EXPECT_NE(Check(keyless, 6, false).fault, "");
  // Leaves at two depths: leaf 1 right under the root, leaves 2 and 3 one level lower.
  const NdxWalk uneven =
      Check({Leaf("AB"), Leaf("C"), Leaf("D"), {{{2, 'C'}}, 3}, {{{1, 'B'}}, 4}}, 5, false);
  EXPECT_NE(uneven.fault, "");
  EXPECT_EQ(uneven.entries.size(), 4u);
  // An empty leaf that is not the root.
  EXPECT_NE(Check({Leaf("AB"), Leaf(""), {{{1, 'B'}}, 2}}, 3, false).fault, "");
  // A cycle.
  EXPECT_NE(Check({Leaf("AB"), {{{1, 'B'}}, 2}}, 2, false).fault, "");
  // Leaves out of order.
  EXPECT_NE(Check({Leaf("CD"), Leaf("AB"), {{{1, 'D'}}, 2}}, 3, false).fault, "");
}

}  // namespace
}  // namespace ndxtest
