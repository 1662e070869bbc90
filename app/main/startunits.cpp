#include "app/main/startunits.h"

#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/help/hbildvar.h"
#include "base/report/textreport.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/start/startfolders.h"
#include "base/text/numbertext.h"
#include "cad/layer/cadvar.h"
#include "calc/calcstart.h"
#include "tables/access/tzdataset.h"
#include "tables/core/engine.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/memo/memostart.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tables/modules/vfile/vfile.h"

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
  dadav::EngineStart(
      {&dadav::ExprModuleStart, &dadav::IndexInit, &dadav::MemoStart, &dadav::VFileStart});
  dadav::DatasetUnitStart();
}
