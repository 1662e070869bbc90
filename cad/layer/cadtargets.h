// The writers the CAD output layer carries: DXF file and plot program (targets 1 and 4), the
// block files of the replaying targets, IGES (2), the screen (3), the text list (5), STL (6),
// STEP (7) and the code form (11). The dispatcher registers each on first use, so no start-up
// order matters.
#pragma once

#include "cad/layer/caddisp.h"

void cad_register_dxf_writers();
void cad_register_screen_writer();
void cad_register_code_writer();
void cad_register_text_list_writer();
void cad_register_stl_writer();
// The IGES file: fixed 80-column records, the drawing's blocks as subfigure definitions placed by
// singular subfigure instances; a block never placed is left out.
void cad_register_iges_writer();
// The drawing's lines as trimmed straight curves in the plane z = 0 of an ISO 10303-21 file in
// the schema AUTOMOTIVE_DESIGN, inside a fixed product structure.
void cad_register_step_writer();

// The table inside BLOCKS on targets whose blocks are block files: the DXF writer.
const CadWriter& cad_block_file_writer();
