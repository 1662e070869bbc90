#include "tables/core/engine.h"

#include "platform/files/blockfile.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tzprogress.h"

namespace dadav {

void EngineStart(const std::vector<ModuleInit>& modules) {
  LastErrorCode = 0;
  LastErrorMessage.clear();
  PendingErrorCode = 0;
  Halting = false;
  InitCountry();
  std::uint16_t year, month, day, dow;
  GetDate(year, month, day, dow);
  CenturyBase = static_cast<std::uint16_t>(year - 70);
  DefaultOpenMode = platform::kModeExclusive;
  ClearHookTables();
  ConnectProgressWindow();
  ResetWorkAreas();
  SetHaltCleanup(&EngineExit);
  for (ModuleInit init : modules) init();
}

}  // namespace dadav
