// Seeded mutations of index files the module wrote, each run through every reader and writer:
// every run must end with an error or a success, never a fault, a sanitizer report or a hang.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/tables/modules/ndx/ndxdamage.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;

constexpr int kMutations = 2000;

std::vector<std::uint8_t> Mutated(std::vector<std::uint8_t> bytes, std::mt19937& random) {
  const auto at = [&](std::size_t size) { return static_cast<std::size_t>(random() % size); };
  const std::size_t blocks = bytes.size() / 512;
  switch (random() % 6) {
    case 0:  // a few bytes anywhere
      for (int i = 0, n = 1 + static_cast<int>(random() % 4); i < n; ++i) {
        bytes[at(bytes.size())] = static_cast<std::uint8_t>(random());
      }
      break;
    case 1: {  // a child or record number of some entry
      const std::size_t offset = at(blocks - 1) * 512 + 512 + 4 + at(25) * 20;
      const std::uint32_t value = random() % 3 == 0
                                      ? static_cast<std::uint32_t>(random())
                                      : static_cast<std::uint32_t>(random() % (blocks + 2));
      for (int b = 0; b < 4 && offset + static_cast<std::size_t>(b) < bytes.size(); ++b) {
        bytes[offset + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(value >> (8 * b));
      }
      break;
    }
    case 2:  // a node's key count
      bytes[at(blocks - 1) * 512 + 512] = static_cast<std::uint8_t>(random() % 60);
      break;
    case 3:  // cut short
      bytes.resize(at(bytes.size() + 1));
      break;
    case 4: {  // one node copied over another: shared children, cycles
      const std::size_t from = 1 + at(blocks - 1);
      const std::size_t to = 1 + at(blocks - 1);
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from * 512), 512,
                  bytes.begin() + static_cast<std::ptrdiff_t>(to * 512));
      break;
    }
    default:  // the anchor's root, next free or geometry
      bytes[at(24)] = static_cast<std::uint8_t>(random());
  }
  return bytes;
}

class IndexDamage : public ndxtest::IndexTest {};

TEST_F(IndexDamage, EveryMutationEndsInAnErrorOrASuccess) {
  ndxdamage::MakeTable(Path("t.dbf"));
  std::vector<std::vector<std::uint8_t>> files;
  for (const char* expression : {"NAME", "QTY", "BORN", "CODE", "UPPER(NAME)"}) {
    USE(Path("t.dbf") + " EXCLUSIVE");
    MakeIndexExpr(expression, Path("base.ndx") + (expression[0] == 'U' ? " UNIQUE" : ""));
    CloseAll();
    files.push_back(ReadBytes(Path("base.ndx")));
    ASSERT_GE(files.back().size(), 1024u);
  }
  const std::vector<std::uint8_t> table = ReadBytes(Path("t.dbf"));
  std::mt19937 random(4711);
  for (int i = 0; i < kMutations; ++i) {
    WriteBytes(Path("t.dbf"), table);
    WriteBytes(Path("m.ndx"), Mutated(files[static_cast<std::size_t>(i) % files.size()], random));
    ndxdamage::Exercise(Path("t.dbf"), Path("m.ndx"));
  }
  EngineStart();
  SUCCEED() << kMutations << " mutations";
}

}  // namespace

namespace {

// Leaves shared between inner nodes, so that stepping on from the last key leads back to it:
// each step placed the index on its last key afresh and counted its steps anew, for ever.
TEST_F(IndexDamage, NeighboursInACircleEndTheStepsWithAnError) {
  ndxdamage::MakeTable(Path("t.dbf"));
  const std::filesystem::path finding =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path() /
      "fuzz/corpus/ndx/finding-neighbours-in-a-circle.ndx";
  WriteBytes(Path("c.ndx"), ReadBytes(finding.string()));
  ndxdamage::Exercise(Path("t.dbf"), Path("c.ndx"));
  EngineStart();
}

}  // namespace
