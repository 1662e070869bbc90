#include "calc/calcstart.h"

#include "calc/calctexts.h"
#include "calc/documentlinks.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "calc/kv6record.h"
#include "calc/toliso.h"
#include "calc/vocabulary.h"

void StartCalculationUnits() {
  SetCalcTexts(2);
  SetVocabularyLanguage(2);
  ResetCalcData();
  ResetMaterials();
  ResetIsoStepping();
  SetDrawingInfoEnglish();
  InitDrawingInfo();
  InitDocumentLinks();
}
