// DXF file (target 1), plot-program file (target 4) and block-file tables of the dispatch.
#include "cad/layer/cadhead.h"
#include "cad/layer/cadplot.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/dxfutil.h"

namespace {

void header(long double xmin, long double ymin, long double xmax, long double ymax, long double) {
  dxf_header(xmin, ymin, xmax, ymax);
}

void block_begin(const std::string& name) {
  dxf_block(name);
}

void circle(long double x, long double y, long double r) {
  dxf_circle(x, y, r);
}

void layer(std::int32_t n) {
  dxf_set_layer(n);
}

// The entity writers of a DXF file; a block file is DXF as well and takes the same.
void set_dxf_entity_writers(CadWriter& w) {
  w.line = dxf_line;
  w.circle = circle;
  w.circle_cw = circle;
  w.arc = dxf_arc;
  w.text = dxf_text;
  w.solid = dxf_solid;
  w.insert = dxf_insert;
}

CadWriter dxf_file_writer() {
  CadWriter w;
  set_dxf_entity_writers(w);
  w.header = header;
  w.tables = dxf_tables;
  w.blocks_begin = dxf_blocks;
  w.block_begin = block_begin;
  w.block_end = dxf_endblk;
  w.blocks_end = dxf_endsec;
  w.entities_begin = dxf_entities;
  w.close = dxf_eof;
  w.layer = layer;
  w.polyline_begin = dxf_polyline;
  w.vertex = dxf_polyline_vertex;
  w.polyline_end = dxf_seqend;
  return w;
}

void plot_entities_begin() {
  dxf_entities();
  cad_plot_border();
}

void plot_close() {
  dxf_eof();
  cad_start_plot_program();
}

// Layer selections reach the block file only on the screen, whose replay shows them.
void block_layer(std::int32_t n) {
  if (CadTarget == 3) dxf_set_layer(n);
}

CadWriter make_block_file_writer() {
  CadWriter w;
  set_dxf_entity_writers(w);
  w.layer = block_layer;
  return w;
}

}  // namespace

void cad_register_dxf_writers() {
  CadWriter dxf = dxf_file_writer();
  dxf.extension = "dxf";
  cad_register_writer(1, dxf);
  CadWriter plot = dxf_file_writer();
  plot.entities_begin = plot_entities_begin;
  plot.close = plot_close;
  cad_register_writer(4, plot);
}

const CadWriter& cad_block_file_writer() {
  static const CadWriter writer = make_block_file_writer();
  return writer;
}
