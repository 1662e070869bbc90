// Replays a block file (a small DXF file of one block's entities, written by this program or by
// another CAD program) through the CAD output layer under the insertion transform.
#pragma once

#include <string>

// Replays the block file "$" + name + ".dx$" (see cad_block_file_to_read) inserted at (x, y),
// turned by angle degrees and scaled by sx, sy relative to the current insertion transform. Nested
// inserts recurse up to level 4.
void dxf_read_block(const std::string& name, long double x, long double y, long double angle,
                    long double sx, long double sy);

// Full name of the block file this run writes for a block: in the run's private folder.
std::string cad_block_file_name(const std::string& name);
// The block file an insert reads: the one this run wrote, else the user's own block in TempDir
// (logo, head and insert blocks).
std::string cad_block_file_to_read(const std::string& name);
