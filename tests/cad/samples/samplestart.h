// The start every sample writer makes: its files go to the folder named on its command line,
// which also holds the run's temporary files, and the CAD layer writes without asking.
#pragma once

#include <filesystem>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/layer/cadvar.h"
#include "platform/headless/headless.h"

// The output folder, or empty when the command line names none.
inline std::string StartSampleWriter(int argc, char** argv) {
  if (argc != 2) return {};
  const std::string folder = argv[1];
  std::filesystem::create_directories(folder);
  platform::headless::Install();
  InitWbrelvar();
  InitBrelvar();
  InitCadDefaults();
  TempDir = folder;
  CadBatch = 1;
  return folder;
}
