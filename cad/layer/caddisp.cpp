#include "cad/layer/caddisp.h"

#include <array>

#include "cad/layer/cadtargets.h"
#include "cad/layer/cadvar.h"

namespace {

std::array<CadWriter, kMaxCadTarget + 1> writers;
std::array<bool, kMaxCadTarget + 1> registered;

// The writers this layer carries itself; the later writers register from their own start-up.
void register_builtin_writers() {
  static bool done = false;
  if (done) return;
  done = true;
  cad_register_dxf_writers();
  cad_register_screen_writer();
  cad_register_code_writer();
  cad_register_iges_writer();
  cad_register_step_writer();
  cad_register_text_list_writer();
  cad_register_stl_writer();
}

}  // namespace

void cad_register_writer(std::uint16_t target, const CadWriter& writer) {
  register_builtin_writers();
  if (target == 0 || target > kMaxCadTarget) return;
  writers[target] = writer;
  registered[target] = true;
}

const CadWriter* cad_writer_of(std::uint16_t target) {
  register_builtin_writers();
  if (target == 0 || target > kMaxCadTarget || !registered[target]) return nullptr;
  return &writers[target];
}

const CadWriter* cad_active_writer() {
  const CadWriter* w = cad_writer_of(CadTarget);
  if (w != nullptr && w->block_files && InBlocks != 0) return &cad_block_file_writer();
  return w;
}
