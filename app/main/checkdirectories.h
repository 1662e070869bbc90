#pragma once
// The configured folders checked after the configuration was read: empty ones filled, unusable
// ones reported, and a temporary folder that cannot be written replaced, so that no output of
// the run fails for want of one.

#include "app/main/commandline.h"

// Empty TempDir from the environment's TEMP, empty CAD folder from TempDir, empty DBF, PLT, EDI
// and data folders from StartDir; one message per unusable folder; the tables copied to the
// temporary folder when TablesInTempDir is set. A folder is tested for writing only when the run
// of that mode writes to it: a run with a window to each, the command-line outputs only to the
// temporary folder, the usage text to none.
void CheckDirectories(StartMode mode = StartMode::Plain);
