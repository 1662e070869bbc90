// The STEP target (7): the drawing's lines as trimmed straight curves in the plane z = 0 of an
// ISO 10303-21 file in the schema AUTOMOTIVE_DESIGN, inside a fixed product structure.
#pragma once

void cad_register_step_writer();
