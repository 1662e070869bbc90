#pragma once
// A byte stream over the memo or blob of one field of a dataset's current record. A write
// stream writes a new blob; when it closes after a write, the field takes its reference, and a
// write stream closed unwritten empties a field that held one. Reads, writes and seeks go to
// the memo module.

#include <cstdint>

#include "tables/access/tzfiledataset.h"

namespace dadav {

enum class TBlobStreamMode { bmRead, bmWrite };

class TTzBlobStream {
 public:
  TTzBlobStream(TTzFileDataSet& dataset, TField& field, TBlobStreamMode mode);
  ~TTzBlobStream();
  TTzBlobStream(const TTzBlobStream&) = delete;
  TTzBlobStream& operator=(const TTzBlobStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count);
  std::int64_t Write(const void* buffer, std::int64_t count);
  // origin 0 from the start, 1 from the position, 2 from the end; the new position.
  std::int64_t Seek(std::int64_t offset, std::uint16_t origin);
  std::int64_t Size();
  bool Modified() const { return modified_; }

 private:
  TTzFileDataSet& dataset_;
  TField& field_;
  TBlobStreamMode mode_;
  std::int64_t block_ = 0;
  std::int64_t held_ = 0;  // the field's reference when the stream opened
  bool open_ = false;
  bool modified_ = false;
};

}  // namespace dadav
