// Seeded mutants of the memo fuzz corpus (bytes flipped, inserted and deleted, words written
// over header fields and lengths) run through every memo reader and writer and PACK: each must
// end cleanly, with no error code that a memo operation never gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/files/osfiles.h"
#include "tests/support/tempfolder.h"
#include "tests/tables/modules/memo/memoprobe.h"

namespace {

constexpr int kMutants = 2000;

std::vector<std::string> Seeds() {
  const auto corpus =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path() /
      "fuzz" / "corpus" / "memo";
  std::vector<std::string> seeds;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    std::string bytes;
    if (entry.path().extension() != ".dict" &&
        platform::os::ReadWholeFile(entry.path().string(), bytes)) {
      seeds.push_back(bytes);
    }
  }
  return seeds;
}

std::string Mutate(std::string bytes, std::mt19937& random) {
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = bytes.empty() ? 0 : random() % (bytes.size() + 1);
    switch (random() % 4) {
      case 0:
        if (at < bytes.size()) bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
        break;
      case 1:
        bytes.insert(at, 1, static_cast<char>(random() % 256));
        break;
      case 2:
        if (at < bytes.size()) bytes.erase(at, 1 + random() % 16);
        break;
      default: {
        const auto word = static_cast<std::uint32_t>(random() % 2 != 0 ? 0xFFFFFFFFu : random());
        for (int b = 0; b < 4 && at + static_cast<std::size_t>(b) < bytes.size(); ++b) {
          bytes[at + static_cast<std::size_t>(b)] = static_cast<char>(word >> (8 * b));
        }
      }
    }
  }
  return bytes;
}

TEST(MemoMutants, EveryMutantEndsCleanly) {
  const std::vector<std::string> seeds = Seeds();
  ASSERT_GE(seeds.size(), 10u);
  std::mt19937 random(20261207);
  for (int i = 0; i < kMutants; ++i) {
    const std::string input = Mutate(seeds[static_cast<std::size_t>(i) % seeds.size()], random);
    const TempFolder folder;
    const std::string broken = memoprobe::Run(folder.Dir(), input);
    ASSERT_EQ(broken, "") << "mutant " << i;
  }
}

}  // namespace
