#pragma once
// Blob streams: byte-stream access to one memo record of the current area, for the dataset
// layer's blob stream. A blob holds text (converted between the table's DOS code page and the
// engine's on the way, in DOS code-page tables only) or binary data; with the decide flag the
// first chunk read or written decides which. One blob per area is open at a time.
//
// A blob opened for writing goes to the end of the memo file and keeps the memo lock until it
// is closed; closing writes its group header with the highest position written as its length,
// so seeking back and writing again loses nothing.
//
// Limits: in a type-0x83 file a blob keeps its group header and has a negative reference, so
// only this engine reads such blobs; an FPT blob's group header says type 1 (text) even for
// binary data.

#include <cstdint>

namespace dadav {

constexpr std::uint8_t kBlobRead = 1;
constexpr std::uint8_t kBlobWrite = 2;

// Opens the memo at block (read mode) or a new record at the file's end (write mode): the
// blob's block number, negative in a type-0x83 file; 0 for block 0 or after a reported error
// (1003 for a block outside the file).
std::int64_t OpenBlob(bool decideText, std::int64_t block, std::uint8_t mode);
// textMode: 0 as the text flag says (deciding it when open with the decide flag), 1 text,
// other values binary. The bytes moved; 0 after a reported error.
std::int64_t ReadBlobStream(void* buffer, std::int64_t count, std::int32_t textMode);
std::int64_t WriteBlobStream(const void* buffer, std::int64_t count, std::int32_t textMode);
// origin 0 from the start, 1 from the position, 2 from the end (in write mode the highest
// position written); a negative result becomes 0. The new position.
std::int64_t SeekBlob(std::int64_t offset, std::uint16_t origin);
void CloseBlob();

}  // namespace dadav
