#include "app/startunits.h"

#include "base/brelgraf.h"
#include "base/brelvar.h"
#include "base/hbildvar.h"
#include "base/hgvar.h"
#include "base/numbertext.h"
#include "base/startfolders.h"
#include "base/textreport.h"
#include "base/wbrelvar.h"
#include "base/wprinvar.h"
#include "cad/cadvar.h"
#include "calc/calcstart.h"
#include "tables/core/engine.h"
#include "tables/modules/exprstart.h"
#include "tables/modules/vfile.h"

void StartUnits(const std::string& programPath) {
  InitNumberText();
  InitWbrelvar();
  InitBrelvar();
  InitHpglState();
  InitGraphicsSettings();
  InitPrintSetup();
  InitCoordinateState();
  // The report's title is the identity the settings just set.
  InitReportEngine();
  SetUpFolders(programPath);
  StartCalculationUnits();
  InitCadDefaults();
  dadav::EngineStart({&dadav::ExprModuleStart, &dadav::VFileStart});
}
