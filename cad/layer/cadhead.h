// Drawing header of an output: extents, the target's header, the print border, the screen's
// drawing stamp, the z range, and the logo blocks at the start of the entities.
#pragma once

void cad_header(long double xmin, long double ymin, long double xmax, long double ymax,
                long double height);
void cad_header_default();
// The logo inserts of screen and plot drawings (part of cad_entities_begin).
void cad_insert_logos();
// The plot program's print border round the drawing extents, inside ENTITIES on layer 19.
void cad_plot_border();
