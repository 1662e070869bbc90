// The display list: the drawing records as texts. Every paint, zoom and pan replays the whole
// list, so each record's numbers are read once and kept until the record changes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// What a record does: the number that starts its text.
enum class DrawOp : std::int32_t {
  kUnknown = 0,  // an unknown or unreadable record; never written
  kMoveTo = 1,
  kLineTo = 2,
  kCircle = 3,
  kLine = 4,
  kArc = 5,
  kText = 6,
  kSolid = 7,
  kColour = 8,
  kTextStyle = 9,
  kWindow = 10,
  kLineStyle = 11,
  kLineWidth = 12,
  kPause = 13,
};

// A record read for the replay.
struct DrawRecord {
  static constexpr int kMaxFields = 8;
  DrawOp opcode = DrawOp::kUnknown;
  std::uint32_t textStart = 0;  // kText: where its text begins in the record
  double value[kMaxFields] = {};
};

// Reads "opcode;number;number;...": kUnknown for an unknown opcode or a record too short or
// unreadable for its opcode.
DrawRecord ParseDrawRecord(std::string_view record);

// The records can only be changed through the list, so that no change escapes the read cache.
class RecordList {
 public:
  using value_type = std::string;
  using size_type = std::size_t;
  using const_iterator = std::vector<std::string>::const_iterator;
  using iterator = const_iterator;

  RecordList() = default;
  RecordList(std::initializer_list<std::string> records) : texts_(records) {}
  RecordList& operator=(std::vector<std::string> records);
  RecordList& operator=(std::initializer_list<std::string> records);

  size_type size() const { return texts_.size(); }
  bool empty() const { return texts_.empty(); }
  const std::string& operator[](size_type i) const { return texts_[i]; }
  const std::string& back() const { return texts_.back(); }
  const_iterator begin() const { return texts_.begin(); }
  const_iterator end() const { return texts_.end(); }

  void push_back(std::string record) { texts_.push_back(std::move(record)); }
  void pop_back();
  void clear();
  void assign(size_type count, const std::string& record);
  iterator insert(const_iterator at, std::string record);

  // Record i (below size()) as read for the replay.
  const DrawRecord& Read(size_type i);
  // The text of a kText record.
  std::string_view Text(size_type i, const DrawRecord& read) const {
    return std::string_view(texts_[i]).substr(read.textStart);
  }

 private:
  // Drops what was read of record i and the records after it.
  void ForgetFrom(size_type i);

  std::vector<std::string> texts_;
  std::vector<DrawRecord> read_;  // of records 0 .. read_.size() - 1
};
