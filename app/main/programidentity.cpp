#include "app/main/programidentity.h"

#include "base/settings/wbrelvar.h"
#include "calc/calctexts.h"

namespace {

constexpr int kProfileTypeText = 52;

}  // namespace

void SetProgramIdentity() {
  ProgVersion = "4.1";
  ProductCode = "KV6";
  ShortName = "kv6";
  FileExt = "kv6";
  LongTitle = "KV6  -  " + CalcTexts[kProfileTypeText] + " P3G";
}
