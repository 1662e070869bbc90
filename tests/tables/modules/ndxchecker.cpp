#include "tests/tables/modules/ndxchecker.h"

#include <optional>
#include <set>

#include "platform/blockfile.h"
#include "tables/modules/ndxfile.h"
#include "tables/modules/ndxformat.h"

namespace ndxtest {
namespace {

using dadav::NdxBlock;
using dadav::NdxNodeView;

constexpr int kDeepest = 64;

struct KeyRange {
  std::string low, high;
};

class Checker {
 public:
  Checker(const platform::BlockFile& file, const dadav::NdxAnchor& anchor, bool exact)
      : file_(file), anchor_(anchor), exact_(exact) {}

  NdxWalk Run() {
    Subtree(anchor_.Root(), 0, true);
    return std::move(walk_);
  }

 private:
  int Compare(const std::string& a, const std::string& b) const {
    return dadav::CompareNdxKeys(anchor_.Numeric(), reinterpret_cast<const std::uint8_t*>(a.data()),
                                 reinterpret_cast<const std::uint8_t*>(b.data()),
                                 anchor_.KeyLength());
  }

  void Fault(const std::string& text) {
    if (walk_.fault.empty()) walk_.fault = text;
  }

  std::string KeyOf(NdxNodeView& node, std::uint16_t i) const {
    return std::string(reinterpret_cast<const char*>(node.Key(i)), anchor_.KeyLength());
  }

  // The keys of the subtree under `number`, or nothing when it holds none or is faulty.
  std::optional<KeyRange> Subtree(std::uint32_t number, int depth, bool root) {
    const std::string where = "node " + std::to_string(number);
    if (depth > kDeepest || !visited_.insert(number).second) {
      Fault(where + " visited twice or too deep");
      return std::nullopt;
    }
    NdxBlock block{};
    if (dadav::ReadNdxBlock(file_, number, block) != 0 || !dadav::NdxNodeIsSound(block, anchor_)) {
      Fault(where + " unreadable or unsound");
      return std::nullopt;
    }
    NdxNodeView node(block, anchor_.EntrySize());
    return node.IsLeaf() ? Leaf(node, depth, root, where) : Inner(node, depth, root, where);
  }

  std::optional<KeyRange> Leaf(NdxNodeView& node, int depth, bool root, const std::string& where) {
    if (leafDepth_ < 0) leafDepth_ = depth;
    if (depth != leafDepth_) Fault(where + " is a leaf at another depth");
    if (node.Count() == 0) {
      if (!root) Fault(where + " is an empty leaf");
      return std::nullopt;
    }
    for (std::uint16_t i = 0; i < node.Count(); ++i) {
      std::string key = KeyOf(node, i);
      if (!walk_.entries.empty() && Compare(walk_.entries.back().first, key) > 0) {
        Fault(where + " holds a key below the one before it");
      }
      walk_.entries.emplace_back(std::move(key), node.Record(i));
    }
    return KeyRange{KeyOf(node, 0), KeyOf(node, static_cast<std::uint16_t>(node.Count() - 1))};
  }

  std::optional<KeyRange> Inner(NdxNodeView& node, int depth, bool root, const std::string& where) {
    const std::uint16_t count = node.Count();
    if (count == 0 && !root) Fault(where + " is an inner node without keys");
    std::optional<KeyRange> all;
    for (std::uint16_t i = 0; i <= count; ++i) {
      const std::optional<KeyRange> below = Subtree(node.Child(i), depth + 1, false);
      if (!below) continue;
      if (i < count) CheckSeparator(KeyOf(node, i), below->high, where);
      if (i > 0 && Compare(below->low, KeyOf(node, i - 1)) < 0) {
        Fault(where + " has keys right of separator " + std::to_string(i - 1) + " below it");
      }
      if (!all) all = below;
      all->high = below->high;
    }
    return all;
  }

  void CheckSeparator(const std::string& separator, const std::string& highestBelow,
                      const std::string& where) {
    const int order = Compare(highestBelow, separator);
    if (order > 0 || (exact_ && order != 0)) Fault(where + " has a separator out of place");
  }

  const platform::BlockFile& file_;
  const dadav::NdxAnchor& anchor_;
  bool exact_;
  NdxWalk walk_;
  std::set<std::uint32_t> visited_;
  int leafDepth_ = -1;
};

}  // namespace

NdxWalk CheckNdxFile(const std::string& path, bool exact) {
  platform::BlockFile file;
  NdxBlock block{};
  std::uint64_t blocks = 0;
  if (file.Open(path, platform::kModeSharedRead) != 0 || dadav::ReadNdxBlock(file, 0, block) != 0 ||
      dadav::CountNdxBlocks(file, blocks) != 0) {
    return {{}, "cannot read " + path};
  }
  const dadav::NdxAnchor anchor = dadav::NdxAnchorOf(block);
  if (!dadav::NdxAnchorIsSound(anchor, blocks)) return {{}, "unsound anchor"};
  return Checker(file, anchor, exact).Run();
}

}  // namespace ndxtest
