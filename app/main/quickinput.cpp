#include "app/main/quickinput.h"

#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kveingabetext.h"
#include "app/input/kvwst.h"
#include "base/dialogs/helperr.h"
#include "base/settings/wbrelvar.h"
#include "calc/kv6rech.h"

namespace {

// The later forms' Cancel keeps what the earlier ones took, calculated.
bool CalculatedWhenCancelled() {
  if (AbortFlag == 0) return false;
  AbortFlag = 0;
  CalculateP3G();
  return true;
}

}  // namespace

void QuickInput() {
  ShowTextInput();
  if (AbortFlag != 0) return;
  ShowDimensionsForm();
  if (AbortFlag != 0) return;
  ShowMaterialForm();
  if (CalculatedWhenCancelled()) return;
  ShowLoadForm();
  if (CalculatedWhenCancelled()) return;
  CalculateP3G();
  Modified = 1;
  ShowCalcMessages();
}
