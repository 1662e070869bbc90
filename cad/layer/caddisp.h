// Per-target dispatch of the CAD output layer: each target code has one table of plain
// procedures, filled when its writer registers. A null entry means the target ignores that call.
#pragma once

#include <cstdint>
#include <string>

struct CadWriter {
  const char* extension = nullptr;  // targets whose file name the user chooses
  bool own_file = false;            // the writer opens its file itself (else ListFile is created)
  bool block_files = false;         // blocks are block files, replayed at every insert
  bool polylines_need_mode = true;  // polyline hooks used only while PolylineMode is set
  bool curves_as_chords = false;    // circles and arcs become chords of ArcResolution

  void (*open)() = nullptr;  // after the output file is open
  void (*header)(long double xmin, long double ymin, long double xmax, long double ymax,
                 long double height) = nullptr;
  void (*tables)(std::int32_t mode) = nullptr;
  void (*blocks_begin)() = nullptr;
  void (*block_begin)(const std::string& name) = nullptr;
  void (*block_end)() = nullptr;
  void (*blocks_end)() = nullptr;
  void (*entities_begin)() = nullptr;
  bool (*output_complete)() = nullptr;
  void (*close)() = nullptr;

  void (*line)(long double x1, long double y1, long double x2, long double y2) = nullptr;
  void (*circle)(long double x, long double y, long double r) = nullptr;
  void (*circle_cw)(long double x, long double y, long double r) = nullptr;
  void (*arc)(long double x, long double y, long double a1, long double a2, long double r,
              long double sweep) = nullptr;
  void (*text)(const std::string& text, long double x, long double y) = nullptr;
  void (*solid)(long double x1, long double y1, long double x2, long double y2, long double x3,
                long double y3, long double x4, long double y4) = nullptr;
  void (*layer)(std::int32_t n) = nullptr;
  void (*line_style)(std::int32_t s) = nullptr;
  void (*text_style)(std::int32_t style, long double angle, long double height,
                     long double width) = nullptr;
  void (*insert)(const std::string& name, long double x, long double y, long double angle,
                 long double sx, long double sy) = nullptr;
  void (*polyline_begin)(std::uint8_t closed) = nullptr;
  void (*vertex)(long double x, long double y, long double sweep) = nullptr;
  void (*polyline_end)() = nullptr;
  void (*setz)(long double z_bottom, long double z_top) = nullptr;
};

inline constexpr std::uint16_t kMaxCadTarget = 11;

// Installs the table of a target code (1 to 11); a later call replaces it.
void cad_register_writer(std::uint16_t target, const CadWriter& writer);
// The registered table of a target; nullptr for 0, unused codes and targets not registered.
const CadWriter* cad_writer_of(std::uint16_t target);
// The table the primitives of the current target go to: inside BLOCKS on a target with block
// files that is the DXF writer of the block file, else the target's own table.
const CadWriter* cad_active_writer();
