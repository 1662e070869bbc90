// The code form (target 11): polylines as statements, one per line, in call order.
#include "base/text/numbertext.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"

namespace {

void polyline_begin(std::uint8_t closed) {
  if (PolylineMode) cad_list_put_line("  c_polyline_begin(" + IntText(closed) + ");");
}

void vertex(long double x, long double y, long double sweep) {
  cad_list_put_line("  c_poly(" + RealTextPoint(x) + "," + RealTextPoint(y) + "," +
                    RealTextPoint(sweep) + ");");
}

void polyline_end() {
  cad_list_put_line("  c_polyline_end;");
}

void setz(long double z_bottom, long double z_top) {
  cad_list_put_line("  c_setz(" + RealTextPoint(z_bottom) + "," + RealTextPoint(z_top) + ");");
}

}  // namespace

void cad_register_code_writer() {
  CadWriter w;
  w.extension = "pas";
  w.polylines_need_mode = false;
  w.close = cad_list_file_close;
  w.polyline_begin = polyline_begin;
  w.vertex = vertex;
  w.polyline_end = polyline_end;
  w.setz = setz;
  cad_register_writer(11, w);
}
