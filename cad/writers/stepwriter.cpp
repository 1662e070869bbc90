#include <cmath>
#include <string>
#include <vector>

#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utildate.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"
#include "cad/writers/stepstring.h"

namespace {

// The shape representation that names every curve set; it keeps the number it has in a file
// whose curves are numbered after it.
constexpr std::int32_t kShapeRepresentation = 25;
constexpr std::int32_t kPlacement = 11;

// The entities of the DATA section are numbered as they arrive and kept until the close, so that
// entities naming later ones are filled in once those numbers are known.
struct StepState {
  bool header_written = false;
  bool data_started = false;
  std::vector<std::string> entities;  // entity n is entities[n - 1]
  std::vector<std::int32_t> curve_sets;
  std::int32_t open_set = 0;  // curve set of the current polyline, once it has a segment
  std::vector<std::int32_t> open_members;
  bool has_previous = false;  // a vertex of the current polyline came before
  long double previous_x = 0;
  long double previous_y = 0;
};

StepState state;

std::string ref(std::int32_t n) {
  return "#" + IntText(n);
}

std::string real(long double v) {
  return ExponentText(v, 6, 3);
}

std::string quoted(const std::string& text) {
  return "'" + step_string_text(text) + "'";
}

std::int32_t next_number() {
  return static_cast<std::int32_t>(state.entities.size()) + 1;
}

std::int32_t add(std::string text) {
  state.entities.push_back(std::move(text));
  return next_number() - 1;
}

void put(const std::string& line) {
  cad_list_put_line(line);
}

void put_entity(std::int32_t n, const std::string& text) {
  put(ref(n) + " = " + text);
}

void header(long double, long double, long double, long double, long double) {
  if (state.header_written) return;
  state.header_written = true;
  put("ISO-10303-21;");
  put("HEADER;");
  put("FILE_DESCRIPTION(('Brelcor Software'),'2;1');");
  put("FILE_NAME(" + quoted(CadFileName) + ",'" + TodayIsoText() + "T" + TimeText() +
      "',('Orlin Dalve'),(''),'Brelcor STEP processor 1.0'," + quoted(ProductCode) + ",'');");
  put("FILE_SCHEMA(('AUTOMOTIVE_DESIGN'));");
  put("ENDSEC;");
  put("");
}

void entities_begin() {
  if (state.data_started) return;
  state.data_started = true;
  static const char* const kFixed[] = {
      "APPLICATION_PROTOCOL_DEFINITION('committee draft','automotive_design',1997,#2);",
      "APPLICATION_CONTEXT('core data for automotive mechanical design processes');",
      "SHAPE_DEFINITION_REPRESENTATION(#4,#10);",
      "PRODUCT_DEFINITION_SHAPE('','',#5);",
      "PRODUCT_DEFINITION('design','',#6,#9);",
      "PRODUCT_DEFINITION_FORMATION('','',#7);",
      "PRODUCT('ASSEMBLY','ASSEMBLY','',(#8));",
      "MECHANICAL_CONTEXT('',#2,'mechanical');",
      "PRODUCT_DEFINITION_CONTEXT('part definition',#2,'design');",
      "SHAPE_REPRESENTATION('',(#11,#15),#19);",
      "AXIS2_PLACEMENT_3D('',#12,#13,#14);",
      "CARTESIAN_POINT('',(0.E+000,0.E+000,0.E+000));",
      "DIRECTION('',(0.E+000,0.E+000,1.));",
      "DIRECTION('',(1.,0.E+000,-0.E+000));",
      "AXIS2_PLACEMENT_3D('',#16,#17,#18);",
      "CARTESIAN_POINT('',(0.E+000,0.E+000,0.E+000));",
      "DIRECTION('',(0.E+000,0.E+000,1.));",
      "DIRECTION('',(1.,0.E+000,0.E+000));",
      "( GEOMETRIC_REPRESENTATION_CONTEXT(3) GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((#23)) "
      "GLOBAL_UNIT_ASSIGNED_CONTEXT((#20,#21,#22)) REPRESENTATION_CONTEXT('Context #1', '3D "
      "Context with UNIT and UNCERTAINTY') );",
      "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );",
      "( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );",
      "( NAMED_UNIT(*) SI_UNIT($,.STERADIAN.) SOLID_ANGLE_UNIT() );",
      "UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-007),#20,'distance_accuracy_value',"
      "'confusion accuracy');",
      "PRODUCT_TYPE('part',$,(#7));"};
  for (const char* text : kFixed) add(text);
  add({});  // the shape representation, written at the close
}

// Points written with the same text make no curve: readers reject a zero-length line.
bool same_written_point(long double x1, long double y1, long double x2, long double y2) {
  return real(x1) == real(x2) && real(y1) == real(y2);
}

// One straight segment as a trimmed line (seven entities); its number. A single line states the
// z of its origin as a number, a polyline segment as the literal zero.
std::int32_t add_segment(long double x1, long double y1, long double x2, long double y2,
                         const std::string& origin_z) {
  const std::int32_t n = next_number();
  const long double dx = x2 - x1, dy = y2 - y1;
  const long double length = std::hypot(dx, dy);
  add("TRIMMED_CURVE(''," + ref(n + 1) + ",(" + ref(n + 5) + ",PARAMETER_VALUE(0.E+000)),(" +
      ref(n + 6) + ",PARAMETER_VALUE(" + real(length) + ")),.T.,.PARAMETER.);");
  add("LINE(''," + ref(n + 2) + "," + ref(n + 3) + ");");
  add("CARTESIAN_POINT('',(" + real(x1) + "," + real(y1) + "," + origin_z + "));");
  add("VECTOR(''," + ref(n + 4) + ",1.);");
  add("DIRECTION('',(" + real(dx / length) + "," + real(dy / length) + "," + real(0) + "));");
  add("CARTESIAN_POINT('',(" + real(x1) + "," + real(y1) + ",0.E+000));");
  add("CARTESIAN_POINT('',(" + real(x2) + "," + real(y2) + ",0.E+000));");
  return n;
}

std::string curve_set_text(const std::vector<std::int32_t>& members) {
  std::string list;
  for (std::int32_t m : members) list += (list.empty() ? "" : ",") + ref(m);
  return "GEOMETRIC_CURVE_SET('',(" + list + "));";
}

void line(long double x1, long double y1, long double x2, long double y2) {
  entities_begin();
  if (same_written_point(x1, y1, x2, y2)) return;
  const std::int32_t set = add({});
  state.curve_sets.push_back(set);
  state.entities[set - 1] = curve_set_text({add_segment(x1, y1, x2, y2, real(0))});
}

void end_polyline() {
  if (state.open_set != 0) state.entities[state.open_set - 1] = curve_set_text(state.open_members);
  state.open_set = 0;
  state.open_members.clear();
  state.has_previous = false;
}

void polyline_begin(std::uint8_t) {
  entities_begin();
  end_polyline();
}

// Each polyline is one curve set of its segments, numbered before them.
void vertex(long double x, long double y, long double) {
  entities_begin();
  if (state.has_previous && !same_written_point(state.previous_x, state.previous_y, x, y)) {
    if (state.open_set == 0) {
      state.open_set = add({});
      state.curve_sets.push_back(state.open_set);
    }
    state.open_members.push_back(add_segment(state.previous_x, state.previous_y, x, y, "0.E+000"));
  }
  state.has_previous = true;
  state.previous_x = x;
  state.previous_y = y;
}

void fill_shape_representation(std::int32_t context) {
  std::string items = ref(kPlacement);
  for (std::int32_t set : state.curve_sets) items += "," + ref(set);
  state.entities[kShapeRepresentation - 1] =
      "SHAPE_REPRESENTATION('',(" + items + ")," + ref(context) + ");";
}

void put_trailer(std::int32_t m) {
  auto r = [m](std::int32_t k) { return ref(m + k); };
  const std::string name = quoted(NameWithoutExt(CadFileName));
  const std::int32_t styled = state.curve_sets.empty() ? kPlacement : state.curve_sets.front();
  put_entity(m + 1, "( GEOMETRIC_REPRESENTATION_CONTEXT(3)  GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((" +
                        r(5) + ")) GLOBAL_UNIT_ASSIGNED_CONTEXT((" + r(2) + "," + r(3) + "," +
                        r(4) +
                        ")) REPRESENTATION_CONTEXT('Context #1','3D Context with UNIT and "
                        "UNCERTAINTY') );");
  put_entity(m + 2, "( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );");
  put_entity(m + 3, "( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );");
  put_entity(m + 4, "( NAMED_UNIT(*) SI_UNIT($,.STERADIAN.) SOLID_ANGLE_UNIT() );");
  put_entity(m + 5, "UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-007)," + r(2) +
                        ",'distance_accuracy_value','confusion accuracy');");
  put_entity(m + 6, "SHAPE_DEFINITION_REPRESENTATION(" + r(7) + ",#25);");
  put_entity(m + 7, "PRODUCT_DEFINITION_SHAPE('',''," + r(8) + ");");
  put_entity(m + 8, "PRODUCT_DEFINITION('design',''," + r(9) + "," + r(12) + ");");
  put_entity(m + 9, "PRODUCT_DEFINITION_FORMATION('',''," + r(10) + ");");
  put_entity(m + 10, "PRODUCT(" + name + "," + name + ",'',(" + r(11) + "));");
  put_entity(m + 11, "MECHANICAL_CONTEXT('',#2,'mechanical');");
  put_entity(m + 12, "PRODUCT_DEFINITION_CONTEXT('part definition',#2,'design');");
  put_entity(m + 13, "CONTEXT_DEPENDENT_SHAPE_REPRESENTATION(" + r(14) + "," + r(16) + ");");
  put_entity(m + 14, "( REPRESENTATION_RELATIONSHIP('','',#25,#10)");
  put("REPRESENTATION_RELATIONSHIP_WITH_TRANSFORMATION(" + r(15) + ")");
  put("SHAPE_REPRESENTATION_RELATIONSHIP() );");
  put_entity(m + 15, "ITEM_DEFINED_TRANSFORMATION('','',#11,#15);");
  put_entity(m + 16, "PRODUCT_DEFINITION_SHAPE('Placement','Placement of an item'," + r(17) + ");");
  put_entity(m + 17, "NEXT_ASSEMBLY_USAGE_OCCURRENCE('2','=>[0:1:1:2]','',#5," + r(8) + ",$);");
  put_entity(m + 18, "PRODUCT_TYPE('part',$,(" + r(10) + "));");
  put_entity(m + 19, "MECHANICAL_DESIGN_GEOMETRIC_PRESENTATION_REPRESENTATION('',(" + r(20) + ")," +
                         r(1) + ");");
  put_entity(m + 20, "STYLED_ITEM('color',(" + r(21) + ")," + ref(styled) + ");");
  put_entity(m + 21, "PRESENTATION_STYLE_ASSIGNMENT((" + r(22) + "," + r(28) + "));");
  put_entity(m + 22, "SURFACE_STYLE_USAGE(.BOTH.," + r(23) + ");");
  put_entity(m + 23, "SURFACE_SIDE_STYLE('',(" + r(24) + "));");
  put_entity(m + 24, "SURFACE_STYLE_FILL_AREA(" + r(25) + ");");
  put_entity(m + 25, "FILL_AREA_STYLE('',(" + r(26) + "));");
  put_entity(m + 26, "FILL_AREA_STYLE_COLOUR(''," + r(27) + ");");
  put_entity(m + 27, "COLOUR_RGB('',0.800000011921,0.800000011921,0.800000011921);");
  put_entity(m + 28, "CURVE_STYLE(''," + r(29) + ",POSITIVE_LENGTH_MEASURE(0.1)," + r(27) + ");");
  put_entity(m + 29, "DRAUGHTING_PRE_DEFINED_CURVE_FONT('continuous');");
}

void close() {
  header(0, 0, 0, 0, 0);
  entities_begin();
  end_polyline();
  const auto m = static_cast<std::int32_t>(state.entities.size());
  fill_shape_representation(m + 1);
  put("DATA;");
  for (std::size_t i = 0; i < state.entities.size(); ++i) {
    put_entity(static_cast<std::int32_t>(i + 1), state.entities[i]);
  }
  put_trailer(m);
  put("ENDSEC;");
  put("END-ISO-10303-21;");
  cad_list_file_close();
  state = {};
}

void open() {
  state = {};
}

}  // namespace

void cad_register_step_writer() {
  CadWriter w;
  w.extension = "stp";
  w.block_files = true;
  w.open = open;
  w.header = header;
  w.entities_begin = entities_begin;
  w.line = line;
  w.polyline_begin = polyline_begin;
  w.vertex = vertex;
  w.polyline_end = end_polyline;
  w.close = close;
  cad_register_writer(7, w);
}
