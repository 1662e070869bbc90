#include "base/draw/brelgraflist.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <utility>

namespace {

// Numbers after the opcode, the text of kText aside.
int FieldCount(DrawOp op) {
  switch (op) {
    case DrawOp::kMoveTo:
    case DrawOp::kLineTo:
    case DrawOp::kText:
      return 2;
    case DrawOp::kCircle:
      return 3;
    case DrawOp::kLine:
    case DrawOp::kTextStyle:
      return 4;
    case DrawOp::kArc:
    case DrawOp::kSolid:
    case DrawOp::kWindow:
      return 8;
    default:
      return 1;
  }
}

// Reads the number that starts the field; whatever follows it up to the next ";" is ignored.
// p then stands after that ";", or at the end with last set.
bool ReadField(const char*& p, const char* end, double& out, bool& last) {
  const auto r = std::from_chars(p, end, out);
  if (r.ec != std::errc()) return false;
  const char* semi = std::find(r.ptr, end, ';');
  last = semi == end;
  p = last ? end : semi + 1;
  return true;
}

}  // namespace

DrawRecord ParseDrawRecord(std::string_view record) {
  DrawRecord out;
  const char* p = record.data();
  const char* const end = p + record.size();
  std::int32_t opcode = 0;
  const auto r = std::from_chars(p, end, opcode);
  if (r.ec != std::errc() || r.ptr == end || *r.ptr != ';' ||
      opcode < static_cast<std::int32_t>(DrawOp::kMoveTo) ||
      opcode > static_cast<std::int32_t>(DrawOp::kPause)) {
    return out;
  }
  p = r.ptr + 1;
  const auto op = static_cast<DrawOp>(opcode);
  const int count = FieldCount(op);
  for (int k = 0; k < count; ++k) {
    bool last = false;
    if (!ReadField(p, end, out.value[k], last)) return out;
    if (last && (k + 1 < count || op == DrawOp::kText)) return out;
  }
  out.textStart = static_cast<std::uint32_t>(p - record.data());
  out.opcode = op;
  return out;
}

RecordList& RecordList::operator=(std::vector<std::string> records) {
  texts_ = std::move(records);
  read_.clear();
  return *this;
}

RecordList& RecordList::operator=(std::initializer_list<std::string> records) {
  return *this = std::vector<std::string>(records);
}

void RecordList::pop_back() {
  texts_.pop_back();
  ForgetFrom(texts_.size());
}

void RecordList::clear() {
  texts_.clear();
  read_.clear();
}

void RecordList::assign(size_type count, const std::string& record) {
  texts_.assign(count, record);
  read_.clear();
}

RecordList::iterator RecordList::insert(const_iterator at, std::string record) {
  ForgetFrom(static_cast<size_type>(at - texts_.cbegin()));
  return texts_.insert(at, std::move(record));
}

const DrawRecord& RecordList::Read(size_type i) {
  if (i >= read_.size()) {
    read_.reserve(texts_.size());
    while (read_.size() <= i) read_.push_back(ParseDrawRecord(texts_[read_.size()]));
  }
  return read_[i];
}

void RecordList::ForgetFrom(size_type i) {
  read_.resize(std::min(read_.size(), i));
}
