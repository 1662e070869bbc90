// The bytes of a binary STL file: an 80-byte header, the facet count and 50-byte facet records.
// Records are collected in a buffer of fixed size and written in large pieces, so that memory
// stays small however large the mesh; a new file beside the named one is created when the first
// piece is full (or at the end), the count, known only at the end, is put into the head last,
// and only then does the new file replace the named one.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// The file's floats are little-endian, as the host holds them.
static_assert(std::endian::native == std::endian::little);

// Starts the bytes of the file name: header is cut or padded with blanks to 80 bytes.
void stl_facets_begin(const std::string& name, std::string_view header);
// Room for the next facet record, its attribute bytes set: the caller stores the normal and the
// three corners, 12 floats, with stl_put_float. nullptr when a full piece could not be written;
// the file is then given up.
char* stl_facets_next();
inline char* stl_put_float(char* at, float value) {
  std::memcpy(at, &value, sizeof value);
  return at + sizeof value;
}
// Writes the rest and the count and puts the file in place; false when anything failed since the
// begin, and the old file stays as it was.
bool stl_facets_end(std::uint32_t count);
// Ends without putting the file in place.
void stl_facets_discard();
// The system's error number of the failure that gave the file up, 0 while none did.
int stl_facets_error();
