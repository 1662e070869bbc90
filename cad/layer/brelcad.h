// The CAD output layer: one output at a time for one target, opened, given its header, tables,
// blocks and entities, and closed. Primitives are in cadprim.h.
#pragma once

#include <cstdint>
#include <string>

// Target codes.
inline constexpr std::uint16_t kCadNone = 0;
inline constexpr std::uint16_t kCadDxf = 1;
inline constexpr std::uint16_t kCadIges = 2;
inline constexpr std::uint16_t kCadScreen = 3;
inline constexpr std::uint16_t kCadPlot = 4;
inline constexpr std::uint16_t kCadTextList = 5;
inline constexpr std::uint16_t kCadStl = 6;
inline constexpr std::uint16_t kCadStep = 7;
inline constexpr std::uint16_t kCadCode = 11;

void cad_open(std::uint16_t target);
void cad_choose_target();
void cad_set_target(std::uint16_t code);
void cad_tables(std::int32_t mode);
void cad_blocks_begin();
void cad_block_begin(const std::string& name);
void cad_block_end();
void cad_blocks_end();
void cad_entities_begin();
bool cad_output_complete();
void cad_close();
void cad_offset(long double x, long double y);
void cad_set_3d_mode(std::int32_t n);
// Deletes the block files this run wrote (never a user's block files); clears AbortFlag.
bool DeleteTempBlockFiles();
