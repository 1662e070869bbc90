#include "tables/modules/vfile/vfilesort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/modules/vfile/vfile.h"

namespace dadav {
namespace {

// Records the error for the caller to raise once the list is whole again.
void KeepError(std::uint16_t code, const std::string& message) {
  bool reporting = SetReportErrors(false);
  ReportError(code, message);
  SetReportErrors(reporting);
}

// Runs the key procedure on the record buffer; false after it raised an error.
bool BuildKey(WorkArea& area, VFileSortKey& key) {
  const VFileList& list = ListOf(area);
  std::string text;
  bool reporting = SetReportErrors(false);
  LastErrorCode = 0;
  try {
    list.keyMaker(list.userData, text);
  } catch (const EDadavError& error) {
    if (LastErrorCode == 0) {
      LastErrorCode = 1100;
      LastErrorMessage = error.what();
    }
  } catch (const std::bad_alloc&) {
    ReportError(217, "Not enough HEAP memory to build a key for " + area.alias + " [VFiles]");
  }
  SetReportErrors(reporting);
  if (LastErrorCode != 0) return false;
  key = MakeSortKey(std::move(text));
  return true;
}

bool GoesBefore(const VFileSortKey& a, const VFileSortKey& b, bool ascending) {
  const int order = CompareSortKeys(a, b);
  return ascending ? order < 0 : order > 0;
}

// Reads stored keys into the record buffer for the search, and puts buffer and position back.
class Probe {
 public:
  Probe(WorkArea& area, const VFileNode& node)
      : area_(area),
        node_(node),
        current_(ListOf(area).current),
        currentNo_(ListOf(area).currentNo),
        recNo_(area.recNo) {}
  ~Probe() { std::memcpy(area_.native, node_.data, node_.size); }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;

  bool KeyAt(std::int32_t n, VFileSortKey& key) {
    SeekNode(area_, n);
    LoadBuffer(area_, *ListOf(area_).current);
    return BuildKey(area_, key);
  }

  void RestorePosition() {
    ListOf(area_).current = current_;
    ListOf(area_).currentNo = currentNo_;
    area_.recNo = recNo_;
  }

 private:
  WorkArea& area_;
  const VFileNode& node_;
  VFileNode* current_;
  std::int32_t currentNo_;
  std::int32_t recNo_;
};

// The position after which a record with the key goes: after the keys before it and after equal
// ones, trying the old neighbourhood of a rewritten record first.
bool FindPlace(WorkArea& area, Probe& probe, const VFileSortKey& key, std::int32_t hint,
               std::int32_t& after) {
  const bool ascending = area.vfile.listMode == 3;
  const std::int32_t count = area.recCount;
  VFileSortKey other;
  if (hint > 0) {
    bool fits = true;
    if (hint > 1) {
      if (!probe.KeyAt(hint - 1, other)) return false;
      fits = !GoesBefore(key, other, ascending);
    }
    if (fits && hint <= count) {
      if (!probe.KeyAt(hint, other)) return false;
      fits = !GoesBefore(other, key, ascending);
    }
    if (fits) {
      after = hint - 1;
      return true;
    }
  }
  if (!probe.KeyAt(1, other)) return false;
  if (GoesBefore(key, other, ascending)) {
    after = 0;
    return true;
  }
  if (count == 1) {
    after = 1;
    return true;
  }
  if (!probe.KeyAt(count, other)) return false;
  if (!GoesBefore(key, other, ascending)) {
    after = count;
    return true;
  }
  std::int32_t low = 1;       // its key does not go before the new one
  std::int32_t high = count;  // its key goes after the new one
  while (high - low > 1) {
    const std::int32_t middle = low + (high - low) / 2;
    if (!probe.KeyAt(middle, other)) return false;
    if (GoesBefore(key, other, ascending))
      high = middle;
    else
      low = middle;
  }
  after = low;
  return true;
}

// A key as the sort moves it: small and trivially copied, its text kept in one block, its first
// eight bytes packed big-endian so that most comparisons of texts end there.
struct SortEntry {
  std::uint64_t prefix = 0;
  double value = 0;
  const char* text = nullptr;
  std::uint32_t length = 0;
  bool numeric = false;
  std::uint16_t size = 0;
  std::uint8_t* data = nullptr;
};

int CompareEntries(const SortEntry& a, const SortEntry& b) {
  if (a.numeric && b.numeric) return (a.value > b.value) - (a.value < b.value);
  if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
  const int order = std::memcmp(a.text, b.text, std::min(a.length, b.length));
  if (order != 0) return order < 0 ? -1 : 1;
  return (a.length > b.length) - (a.length < b.length);
}

std::uint64_t Prefix(const std::string& text) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i)
    prefix = prefix << 8 | (i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0u);
  return prefix;
}

template <typename Entry, typename Before>
void InsertionSort(std::vector<Entry>& entries, std::size_t begin, std::size_t end, Before before) {
  for (std::size_t i = begin + 1; i < end; ++i) {
    const Entry moving = entries[i];
    std::size_t j = i;
    for (; j > begin && before(moving, entries[j - 1]); --j) entries[j] = entries[j - 1];
    entries[j] = moving;
  }
}

// A stable merge sort that stays in bounds whatever the comparison answers, which
// std::stable_sort does not promise for a comparison that is not a strict weak order.
template <typename Entry, typename Before>
void StableSort(std::vector<Entry>& entries, Before before) {
  constexpr std::size_t kRun = 16;
  const std::size_t count = entries.size();
  for (std::size_t begin = 0; begin < count; begin += kRun)
    InsertionSort(entries, begin, std::min(begin + kRun, count), before);
  if (count <= kRun) return;
  std::vector<Entry> other(count);
  for (std::size_t width = kRun; width < count; width *= 2) {
    for (std::size_t low = 0; low < count; low += 2 * width) {
      const std::size_t middle = std::min(low + width, count);
      const std::size_t high = std::min(low + 2 * width, count);
      std::size_t left = low, right = middle, out = low;
      while (left < middle && right < high)
        other[out++] = before(entries[right], entries[left]) ? entries[right++] : entries[left++];
      while (left < middle) other[out++] = entries[left++];
      while (right < high) other[out++] = entries[right++];
    }
    entries.swap(other);
  }
}

// The list's nodes in list order, walked once for the keys and once for the new order.
std::vector<VFileNode*> ListNodes(WorkArea& area) {
  std::vector<VFileNode*> nodes;
  nodes.reserve(static_cast<std::size_t>(area.recCount));
  for (VFileNode* node = ListOf(area).head; node != nullptr; node = node->next)
    nodes.push_back(node);
  return nodes;
}

// Every record's key, in list order, with the key texts one after another in texts; false after
// the key procedure failed. The records of a list sorted before lie anywhere in memory, so the
// ones a few steps ahead are fetched while a key is built.
bool CollectKeys(WorkArea& area, const std::vector<VFileNode*>& nodes,
                 std::vector<SortEntry>& entries, std::string& texts) {
  constexpr std::size_t kAhead = 16;
  entries.resize(nodes.size());
  texts.reserve(nodes.size() * 16);
  VFileSortKey key;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    if (i + kAhead < nodes.size()) __builtin_prefetch(nodes[i + kAhead]->data);
    LoadBuffer(area, *nodes[i]);
    if (!BuildKey(area, key)) return false;
    SortEntry& entry = entries[i];
    entry.prefix = Prefix(key.text);
    entry.value = key.value;
    entry.length = static_cast<std::uint32_t>(key.text.size());
    entry.numeric = key.numeric;
    entry.size = nodes[i]->size;
    entry.data = nodes[i]->data;
    texts += key.text;
  }
  // The texts lie one after another in list order, each as long as its entry says.
  const char* text = texts.data();
  for (SortEntry& entry : entries) {
    entry.text = text;
    text += entry.length;
  }
  return true;
}

bool AllNumeric(const std::vector<SortEntry>& entries) {
  return std::all_of(entries.begin(), entries.end(),
                     [](const SortEntry& entry) { return entry.numeric; });
}

// What sorting numbers needs, half the size of a full entry: the number as a word whose
// unsigned order is the sort's order.
struct NumberEntry {
  std::uint64_t word;
  std::uint8_t* data;
  std::uint16_t size;
};

// The finite number as a word that orders as the number does, ascending or descending: the
// sign bit set on a positive number, every bit turned over on a negative one, and -0.0 taken
// as 0.0, which it equals.
std::uint64_t OrderWord(double value, bool ascending) {
  const auto bits = std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value);
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  const std::uint64_t word = (bits & kSign) != 0 ? ~bits : bits | kSign;
  return ascending ? word : ~word;
}

// A stable least-significant-digit radix sort of the words, eleven bits per pass: it keeps
// equal numbers in list order, as the comparison sort does, in six linear passes. A pass whose
// digit is the same in every entry would change nothing and is left out.
void RadixSort(std::vector<NumberEntry>& entries) {
  constexpr int kBits = 11;
  constexpr int kPasses = (64 + kBits - 1) / kBits;
  constexpr std::uint64_t kMask = (std::uint64_t{1} << kBits) - 1;
  using Counts = std::array<std::uint32_t, kMask + 1>;
  std::vector<Counts> counts(kPasses);
  for (const NumberEntry& entry : entries) {
    for (int pass = 0; pass < kPasses; ++pass) ++counts[pass][entry.word >> (kBits * pass) & kMask];
  }
  std::vector<NumberEntry> other(entries.size());
  for (int pass = 0; pass < kPasses; ++pass) {
    Counts& next = counts[pass];
    if (next[entries[0].word >> (kBits * pass) & kMask] == entries.size()) continue;
    std::uint32_t start = 0;
    for (std::uint32_t& count : next) start += std::exchange(count, start);
    for (const NumberEntry& entry : entries)
      other[next[entry.word >> (kBits * pass) & kMask]++] = entry;
    entries.swap(other);
  }
}

// The records go into the sorted order by handing their data to the nodes in list order: the
// nodes are walked in the order they lie in memory, where relinking them would jump around.
template <typename Entry>
void Reorder(const std::vector<VFileNode*>& nodes, const std::vector<Entry>& entries) {
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    nodes[i]->data = entries[i].data;
    nodes[i]->size = entries[i].size;
  }
}

void SortNumbers(const std::vector<VFileNode*>& nodes, const std::vector<SortEntry>& entries,
                 bool ascending) {
  std::vector<NumberEntry> numbers(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    numbers[i] = {OrderWord(entries[i].value, ascending), entries[i].data, entries[i].size};
  RadixSort(numbers);
  Reorder(nodes, numbers);
}

// Sorts with the comparison of the keys, and by the numbers alone when every key is one, and
// gives the nodes their records in that order.
void SortEntries(const std::vector<VFileNode*>& nodes, std::vector<SortEntry>& entries,
                 bool ascending) {
  if (AllNumeric(entries)) {
    SortNumbers(nodes, entries, ascending);
    return;
  }
  if (ascending) {
    StableSort(entries,
               [](const SortEntry& a, const SortEntry& b) { return CompareEntries(a, b) < 0; });
  } else {
    StableSort(entries,
               [](const SortEntry& a, const SortEntry& b) { return CompareEntries(a, b) > 0; });
  }
  Reorder(nodes, entries);
}

// Sorts the records by key; false after an error, with list, position and buffer unchanged.
bool SortRecords(WorkArea& area, bool ascending) {
  const std::vector<std::uint8_t> buffer(area.native, area.native + BufferRecordSize(area));
  bool sorted = false;
  try {
    if (VFileAllocationFails()) throw std::bad_alloc();
    const std::vector<VFileNode*> nodes = ListNodes(area);
    std::vector<SortEntry> entries;
    std::string texts;
    if (CollectKeys(area, nodes, entries, texts)) {
      SortEntries(nodes, entries, ascending);
      sorted = true;
    }
  } catch (const std::bad_alloc&) {
    KeepError(217, "Not enough HEAP memory to sort " + area.alias + " [SortVFile]");
  }
  std::memcpy(area.native, buffer.data(), buffer.size());
  return sorted;
}

// The whole text as one finite number with "." as the decimal sign.
bool ReadNumber(const char* begin, const char* end, double& value) {
  if (ParsePlainDecimal({begin, static_cast<std::size_t>(end - begin)}, value)) return true;
  const auto [stop, error] = std::from_chars(begin, end, value);
  return error == std::errc() && stop == end && std::isfinite(value);
}

}  // namespace

VFileSortKey MakeSortKey(std::string text) {
  if (text.size() > kSortKeyLength) text.resize(kSortKeyLength);
  VFileSortKey key;
  const std::size_t first = text.find_first_not_of(' ');
  if (first != std::string::npos) {
    const char* begin = text.data() + first;
    const char* end = text.data() + text.find_last_not_of(' ') + 1;
    double value = 0;
    if (ReadNumber(begin, end, value)) {
      key.numeric = true;
      key.value = value;
    }
  }
  key.text = std::move(text);
  return key;
}

int CompareSortKeys(const VFileSortKey& a, const VFileSortKey& b) {
  if (a.numeric && b.numeric) return (a.value > b.value) - (a.value < b.value);
  const int order = a.text.compare(b.text);
  return (order > 0) - (order < 0);
}

bool InsertSorted(WorkArea& area, VFileNode& node, std::int32_t hint) {
  VFileList& list = ListOf(area);
  if (list.keyMaker == nullptr) {
    KeepError(1100, area.alias +
                        " is a \"Sorted\" virtual file with no keymaker function. "
                        "[Append/InsertRec/PushRec]");
    return false;
  }
  Probe probe(area, node);
  VFileSortKey key;
  std::int32_t after = 0;
  if (!BuildKey(area, key) || !FindPlace(area, probe, key, hint, after)) {
    probe.RestorePosition();
    return false;
  }
  VFileNode* afterNode = nullptr;
  if (after > 0) {
    SeekNode(area, after);
    afterNode = list.current;
  }
  LinkAfter(area, afterNode, after, &node);
  return true;
}

void RaiseKeptError() {
  if (LastErrorCode != 0 && ReportErrors) HandleDadavError();
}

void Set_VFileKey_To(KeyMaker keyMaker, void* userData) {
  WorkArea* area = VirtualArea("Set_VFileKey_To");
  if (area == nullptr) return;
  ListOf(*area).keyMaker = keyMaker;
  ListOf(*area).userData = userData;
}

std::uint8_t Get_VFileMode() {
  WorkArea* area = VirtualArea("Get_VFileMode");
  return area != nullptr ? area->vfile.listMode : 0;
}

void Set_VFileMode_To(std::uint8_t mode) {
  WorkArea* area = VirtualArea("Set_VFileMode_To");
  if (area == nullptr) return;
  const bool sortMode = mode == 3 || mode == 4;
  if (area->recCount >= 2 && sortMode && mode != area->vfile.listMode) {
    ReportError(1100, "Cannot set a sort mode on a virtual file containing records. (" +
                          area->alias + ") [(Set_VFileMode_To) VFiles]");
    return;
  }
  area->vfile.listMode = mode;
}

void SortVFile(std::uint8_t mode) {
  WorkArea* area = VirtualArea("SortVFile");
  if (area == nullptr) return;
  LastErrorCode = 0;
  if (ListOf(*area).keyMaker == nullptr) {
    ReportError(1100, area->alias + " has no KeyMaker.  Records cannot be sorted. [SortVFile]");
    return;
  }
  if (mode != 3 && mode != 4) {
    ReportError(
        220, "Sort mode not ASCENDING or DESCENDING for " + area->alias + " [(SortVFile) VFiles]");
    return;
  }
  if (area->recCount > 0 && !SortRecords(*area, mode == 3)) {
    RaiseKeptError();
    return;
  }
  area->vfile.listMode = mode;
  GoTop();
}

}  // namespace dadav
