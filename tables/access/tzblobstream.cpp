// The blob stream of a dataset field over the memo module's blob routines.

#include "tables/access/tzblobstream.h"

#include "tables/core/dbf4area.h"
#include "tables/core/tzerror.h"
#include "tables/modules/memo/blob.h"

namespace dadav {

namespace {

constexpr std::int32_t kTextAsFlagged = 0;

}  // namespace

TTzBlobStream::TTzBlobStream(TTzFileDataSet& dataset, TField& field, TBlobStreamMode mode)
    : dataset_(dataset), field_(field), mode_(mode) {
  held_ = field_.AsInteger();
  if (mode_ == TBlobStreamMode::bmRead && (dataset_.RecNo() == 0 || held_ == 0)) return;
  Select(dataset_.WorkArea());
  LastErrorCode = 0;
  block_ = OpenBlob(true, held_, mode_ == TBlobStreamMode::bmWrite ? kBlobWrite : kBlobRead);
  open_ = LastErrorCode == 0;
}

TTzBlobStream::~TTzBlobStream() {
  if (open_) {
    Select(dataset_.WorkArea());
    CloseBlob();
  }
  if (mode_ != TBlobStreamMode::bmWrite || dataset_.RecNo() == 0) return;
  try {
    if (modified_) {
      if (dataset_.State() == TDataSetState::dsBrowse) dataset_.Edit();
      field_.SetAsInteger(block_);
    } else if (held_ != 0) {
      if (dataset_.State() == TDataSetState::dsBrowse) dataset_.Edit();
      field_.SetAsInteger(0);
    }
  } catch (const std::exception&) {
    // A stream ends without a word; the dataset reports its state at the next post.
  }
}

std::int64_t TTzBlobStream::Read(void* buffer, std::int64_t count) {
  if (!open_ || mode_ != TBlobStreamMode::bmRead) return 0;
  Select(dataset_.WorkArea());
  return ReadBlobStream(buffer, count, kTextAsFlagged);
}

std::int64_t TTzBlobStream::Write(const void* buffer, std::int64_t count) {
  if (!open_ || mode_ != TBlobStreamMode::bmWrite) return 0;
  Select(dataset_.WorkArea());
  const std::int64_t written = WriteBlobStream(buffer, count, kTextAsFlagged);
  if (written > 0) modified_ = true;
  return written;
}

std::int64_t TTzBlobStream::Seek(std::int64_t offset, std::uint16_t origin) {
  if (!open_) return 0;
  Select(dataset_.WorkArea());
  return SeekBlob(offset, origin);
}

std::int64_t TTzBlobStream::Size() {
  if (!open_) return 0;
  Select(dataset_.WorkArea());
  const std::int64_t here = SeekBlob(0, 1);
  const std::int64_t size = SeekBlob(0, 2);
  SeekBlob(here, 0);
  return size;
}

}  // namespace dadav
