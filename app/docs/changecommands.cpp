#include "app/docs/changecommands.h"

#include "app/docs/changeentryform.h"
#include "base/dialogs/utilcrt.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utildate.h"
#include "calc/changeprotocol.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"

namespace {

// A cancelled new entry leaves the list as it was: the count and the slot's date come back.
void NewChange() {
  if (ChangeCount >= kChangeSlotCount) {
    ShowError(DiMax + " " + DiChanges + " = " + IntText(kChangeSlotCount) + " !");
    return;
  }
  const std::uint16_t index = static_cast<std::uint16_t>(ChangeCount + 1);
  ChangeEntry& entry = ChangeEntries[index];
  const std::string oldDate = entry.ChangeDate;
  ChangeCount = index;
  entry.ChangeDate = TodayText();
  EditChangeEntry(index);
  if (AbortFlag != 0) {
    ChangeCount = static_cast<std::uint16_t>(index - 1);
    entry.ChangeDate = oldDate;
    return;
  }
  Modified = 1;
  PrintChangeProtocol(1);
}

void ModifyChange() {
  if (ChangeCount == 0) return;
  EditChangeEntry(ChangeCount);
  if (AbortFlag != 0) return;
  Modified = 1;
  PrintChangeProtocol(1);
}

void DeleteChange() {
  if (ChangeCount > 0) {
    --ChangeCount;
    Modified = 1;
  }
  PrintChangeProtocol(1);
}

}  // namespace

void ChangeProtocol(std::uint16_t action) {
  switch (action) {
    case 1:
      NewChange();
      break;
    case 2:
      ModifyChange();
      break;
    case 3:
      DeleteChange();
      break;
    case 4:
      PrintChangeProtocol(1);
      break;
    case 5:
      PrintChangeProtocol(0);
      break;
    default:
      break;
  }
}
