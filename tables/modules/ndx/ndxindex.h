#pragma once
// The open indexes of the work areas: 16 slots per area, each an IndexDescriptor that owns its
// file, its anchor copy, its key and its path from the root to the current node. Slot 1 is the
// controlling index. Here too are the services every index routine shares: reading and
// writing nodes (through the area's node cache for slot 1 of an exclusive table), building the
// current record's key, and the check for changes made by another program.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/blockfile.h"
#include "tables/modules/expr/exprcode.h"
#include "tables/modules/ndx/ndxcache.h"
#include "tables/modules/ndx/ndxformat.h"

namespace dadav {

// A caller's key builder: the key text of the current record for the index of that order.
using KeyMaker = void (*)(void* userData, std::uint8_t order, std::string& key);

constexpr std::uint8_t kIndexSlots = 16;
// A descent deeper than this meets a damaged file (a node that is its own descendant).
constexpr std::size_t kMaxNdxDepth = 64;
// The stored expression of an index a KeyMaker built.
constexpr const char* kKeyMakerIndexText = "USERDEFINEDKEYMAKERWASUSEDTOBUILDTHISINDEX";

struct NdxPathLevel {
  // The block is left for the node's read to fill: a descent adds a level per node it passes.
  explicit NdxPathLevel(std::uint32_t n) : node(n) {}

  std::uint32_t node = 0;
  // The current entry; in an inner node the child taken, Count() for the trailing child.
  std::int32_t position = 0;
  NdxBlock block;
};

struct IndexDescriptor {
  IndexDescriptor() = default;
  ~IndexDescriptor();
  IndexDescriptor(const IndexDescriptor&) = delete;
  IndexDescriptor& operator=(const IndexDescriptor&) = delete;

  std::uint16_t KeyLength() const { return anchor.KeyLength(); }
  std::uint16_t EntrySize() const { return anchor.EntrySize(); }
  bool Unique() const { return anchor.Unique(); }
  int Order(const std::uint8_t* a, const std::uint8_t* b) const {
    return CompareNdxKeys(numeric, a, b, KeyLength());
  }

  std::uint8_t order = 0;
  platform::BlockFile file;
  std::string name;
  NdxAnchor anchor;
  std::string expression;  // as stored: normalised, or the KeyMaker text
  CompiledExpr* compiled = nullptr;
  bool numeric = false;
  bool anchorChanged = false;
  // The file carries the in-change mark this program wrote.
  bool inChange = false;
  // A change failed halfway, so the index no longer matches its table: the mark stays.
  bool keepMark = false;
  // Another program left its in-change mark on the file, ending during a change: reads refuse
  // the index until it is rebuilt.
  bool leftMarked = false;
  bool atBegin = false;
  bool atEnd = false;
  bool soundex = false;
  bool descending = false;
  KeyMaker keyMaker = nullptr;
  void* userData = nullptr;
  std::vector<std::uint8_t> savedKey;  // key length plus a zero byte
  std::vector<NdxPathLevel> path;
  // The current entry is the place after the last key (record -1).
  bool endPosition = false;
  // Entries stepped over since the last descent from the root, forward counting up: more than
  // the file can hold means its nodes share children, and the walk would never end.
  std::int64_t walked = 0;
};

struct NdxAreaState {
  std::array<std::unique_ptr<IndexDescriptor>, kIndexSlots + 1> descriptors;  // 1..16
  std::unique_ptr<NdxNodeCache> cache;                                        // slot 1 only
  bool naturalOrder = false;
  // Depth of the write brackets around changes of the area's table.
  std::int32_t changeNesting = 0;
  // An index of the area was found left marked: reads look for it.
  bool refusing = false;
};

// Result of the last seek or step.
extern bool FindFound;
// Find pads its text to the key length and matches whole keys only.
extern bool FindExact;
// The slot the search routines work on; 1 except while an update works on another.
extern std::uint8_t CurrentOrderSlot;
// Size of the node cache of an exclusive table's controlling index.
extern std::size_t NodeCacheBytes;

NdxAreaState& IndexArea();
// The node cache serving the slot: the controlling index's (slot 1), where it has one.
NdxNodeCache* SlotCache(std::uint8_t slot);
NdxAreaState& IndexAreaOf(std::uint8_t area);
// The descriptor in slot n of the current area, or nullptr.
IndexDescriptor* IndexSlot(std::uint8_t n);
void ResetIndexAreas();

// Reads node n for the slot into block; false after an error, which is reported (254 for node
// 0 or a node that cannot be walked, the I/O code for a read that fails or ends early).
bool ReadNode(IndexDescriptor& d, std::uint8_t slot, std::uint32_t n, NdxBlock& block);
// Writes node n and refreshes its copies in the cache and on the path; false after an error.
bool WriteNode(IndexDescriptor& d, std::uint8_t slot, std::uint32_t n, const NdxBlock& block);
// Writes the anchor block with the table's record count and name, and the in-change mark while
// the index carries it.
bool WriteAnchorNode(IndexDescriptor& d);

// The current record's key for the descriptor, key length bytes: the expression's value or the
// KeyMaker's text (converted to OEM for an OEM table, SOUNDEX and DESCENDING applied), a text
// padded with blanks or cut to the key length, a number as a double with -0.0 as +0.0.
void BuildKey(IndexDescriptor& d, std::vector<std::uint8_t>& key);
// The key of the area's blank record, whose length fixes a character key's length.
std::string BlankRecordKeyText(IndexDescriptor& d);
// The record's key as text: the character key without trailing blanks, a date or a number.
std::string KeyAsText(const IndexDescriptor& d, const std::uint8_t* key);

// Another program changed the area's indexes since the last look: the anchors are read again,
// and an index another program left marked is noted.
bool IndexChanged();
// The reaction of navigation to such a change: the current record is read again and the
// controlling index placed on it. False, after error 222, while an index of the area was left
// marked by another program: nothing may be read from the area's indexes then.
bool ChangeCheck();

// Turns error reporting off for its lifetime, so a routine can clean up before it reports the
// error it met through Finish.
class QuietErrors {
 public:
  QuietErrors();
  ~QuietErrors();
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;
  // Restores reporting and reports a pending error when it was on.
  void Finish();

 private:
  bool previous_;
  bool finished_ = false;
};

}  // namespace dadav
