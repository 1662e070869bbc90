// The IGES file (target 2): fixed 80-column records, the drawing's blocks as subfigure
// definitions placed by singular subfigure instances; a block never placed is left out.
#pragma once

void cad_register_iges_writer();
