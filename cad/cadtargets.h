// The writers the CAD output layer carries itself: DXF file and plot program (targets 1 and 4),
// the block files of the replaying targets, the screen (3), the text list (5), STL (6) and
// the code form (11).
#pragma once

#include "cad/caddisp.h"

void cad_register_dxf_writers();
void cad_register_screen_writer();
void cad_register_code_writer();
void cad_register_text_list_writer();
void cad_register_stl_writer();

// The table inside BLOCKS on targets whose blocks are block files: the DXF writer.
const CadWriter& cad_block_file_writer();
