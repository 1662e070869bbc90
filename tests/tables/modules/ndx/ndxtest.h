#pragma once
// Shared pieces of the index tests: the engine started with the parser and the index module,
// and a structure checker that reads an index file on its own and walks every node: leaves at
// one depth, no inner node but the root without keys, separators between their neighbours'
// keys (exactly the subtree's largest key when asked), every node reached once.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tables/modules/expr/exprstart.h"
#include "tables/modules/ndx/ndxformat.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tests/support/command.h"
#include "tests/tables/core/enginetest.h"

namespace ndxtest {

// A (key bytes, record) entry of a leaf.
using Entry = std::pair<std::string, std::uint32_t>;

struct TreeReport {
  std::string problem;  // empty when sound
  std::vector<Entry> entries;
  int depth = 0;
};

class TreeChecker {
 public:
  TreeChecker(std::vector<std::uint8_t> bytes, bool exact)
      : bytes_(std::move(bytes)), exact_(exact) {}

  TreeReport Check() {
    if (bytes_.size() < dadav::kNdxBlockSize) return Fail("shorter than the anchor");
    std::copy_n(bytes_.begin(), dadav::kNdxAnchorFieldSize, anchor_.bytes.begin());
    const std::uint64_t blocks = bytes_.size() / dadav::kNdxBlockSize;
    if (!dadav::NdxAnchorIsSound(anchor_, blocks)) return Fail("anchor not sound");
    if (anchor_.NextFree() > blocks) return Fail("next free beyond the file");
    std::string minKey, maxKey;
    int depth = 0;
    if (!Walk(anchor_.Root(), 0, true, depth, minKey, maxKey)) return report_;
    report_.depth = depth;
    return report_;
  }

 private:
  TreeReport Fail(const std::string& problem) {
    if (report_.problem.empty()) report_.problem = problem;
    return report_;
  }

  int Order(const std::string& a, const std::string& b) const {
    return dadav::CompareNdxKeys(anchor_.Numeric(), reinterpret_cast<const std::uint8_t*>(a.data()),
                                 reinterpret_cast<const std::uint8_t*>(b.data()),
                                 anchor_.KeyLength());
  }

  // Walks the subtree; its smallest and largest key, its depth. False after a problem.
  bool Walk(std::uint32_t node, int level, bool root, int& depth, std::string& minKey,
            std::string& maxKey) {
    if (level > 64) return Fail("deeper than 64"), false;
    if (node == 0 ||
        std::uint64_t{node} * dadav::kNdxBlockSize + dadav::kNdxBlockSize > bytes_.size())
      return Fail("node " + std::to_string(node) + " outside the file"), false;
    if (!seen_.insert(node).second) return Fail("node " + std::to_string(node) + " twice"), false;
    dadav::NdxBlock block{};
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(node * dadav::kNdxBlockSize),
                dadav::kNdxBlockSize, block.begin());
    if (!dadav::NdxNodeIsSound(block, anchor_)) return Fail("node not sound"), false;
    const dadav::NdxNodeView view(block, anchor_.EntrySize());
    const std::uint16_t count = view.Count();
    const auto key = [&](std::uint16_t i) {
      return std::string(reinterpret_cast<const char*>(view.Key(i)), anchor_.KeyLength());
    };
    if (view.IsLeaf()) {
      depth = level;
      if (count == 0 && !root) return Fail("empty leaf below the root"), false;
      for (std::uint16_t i = 0; i < count; ++i) {
        if (i > 0 && Order(key(static_cast<std::uint16_t>(i - 1)), key(i)) > 0)
          return Fail("leaf out of order"), false;
        report_.entries.emplace_back(key(i), view.Record(i));
      }
      if (count > 0) {
        minKey = key(0);
        maxKey = key(static_cast<std::uint16_t>(count - 1));
      }
      return true;
    }
    if (count == 0 && !root) return Fail("inner node without keys"), false;
    int childDepth = -1;
    std::string previousSeparator;
    for (std::uint16_t i = 0; i <= count; ++i) {
      std::string lo, hi;
      int d = 0;
      if (!Walk(view.Child(i), level + 1, false, d, lo, hi)) return false;
      if (childDepth >= 0 && d != childDepth) return Fail("leaves at two depths"), false;
      childDepth = d;
      if (i == 0) minKey = lo;
      if (i > 0 && Order(lo, previousSeparator) < 0)
        return Fail("key left of its separator"), false;
      if (i < count) {
        if (Order(hi, key(i)) > 0) return Fail("separator below a key of its child"), false;
        if (exact_ && Order(hi, key(i)) != 0)
          return Fail("separator not the child's largest key"), false;
        previousSeparator = key(i);
      }
      maxKey = hi;
    }
    depth = childDepth;
    return true;
  }

  std::vector<std::uint8_t> bytes_;
  bool exact_;
  dadav::NdxAnchor anchor_;
  std::set<std::uint32_t> seen_;
  TreeReport report_;
};

inline TreeReport CheckIndexFile(const std::string& path, bool exact = false) {
  return TreeChecker(enginetest::ReadBytes(path), exact).Check();
}

// Debian's libdbd-xbase-perl, the independent reader, is installed.
inline bool HavePerlReader() {
  return std::system("/usr/bin/perl -MXBase::Index -e 1 >/dev/null 2>&1") == 0;
}

// What the independent reader finds wrong with the index against the entries (listed in
// listPath for it); empty when it agrees.
inline std::string PerlDisagreement(const std::string& index, const std::vector<Entry>& expected,
                                    const std::string& listPath) {
  static const char kDigits[] = "0123456789abcdef";
  std::ofstream list(listPath, std::ios::trunc);
  for (const Entry& entry : expected) {
    for (const char c : entry.first) {
      list << kDigits[static_cast<std::uint8_t>(c) >> 4]
           << kDigits[static_cast<std::uint8_t>(c) & 15];
    }
    list << ' ' << entry.second << '\n';
  }
  list.close();
  const std::string script =
      (std::filesystem::path(__FILE__).parent_path() / "ndx_reader.pl").string();
  const CommandResult result =
      RunCommand("/usr/bin/perl " + script + " " + index + " " + listPath + " 2>&1");
  return result.status == 0 ? std::string()
                            : result.output + " (status " + std::to_string(result.status) + ")";
}

class IndexTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dadav::EngineStart({&dadav::ExprModuleStart, &dadav::IndexInit});
    dadav::SetExceptionMode(true);
  }
};

}  // namespace ndxtest
