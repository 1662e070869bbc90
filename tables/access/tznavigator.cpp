// The navigator's buttons on the dataset.

#include "tables/access/tznavigator.h"

#include "platform/ui/dialog.h"

namespace dadav {

namespace {

bool Confirmed(const char* question) {
  return platform::Dialogs().ShowBox({"Confirm", question, platform::MessageButtons::OkCancel,
                                      platform::MessageIcon::Question}) ==
         platform::MessageAnswer::Ok;
}

}  // namespace

TTzNavigator::TTzNavigator(platform::DataNavigator& control, TTzCDataSet& dataset)
    : control_(control), dataset_(dataset) {
  control_.onClick = [this](platform::NavigatorButton button) {
    if (ActionGuard) {
      ActionGuard([this, button] { BtnClick(button); });
    } else {
      BtnClick(button);
    }
  };
}

TTzNavigator::~TTzNavigator() {
  control_.onClick = nullptr;
}

void TTzNavigator::DeleteOrRestore() {
  if (!dataset_.Active() || !dataset_.CanModify() || dataset_.RecNo() == 0) return;
  if (dataset_.RecordDeleted()) {
    if (!ConfirmRestore || Confirmed("Restore Record ?")) dataset_.Restore();
  } else if (!ConfirmDelete || Confirmed("Delete Record ?")) {
    dataset_.Delete();
  }
}

void TTzNavigator::BtnClick(platform::NavigatorButton button) {
  using platform::NavigatorButton;
  switch (button) {
    case NavigatorButton::First:
      dataset_.First();
      break;
    case NavigatorButton::Prior:
      dataset_.Prior();
      break;
    case NavigatorButton::Next:
      dataset_.Next();
      break;
    case NavigatorButton::Last:
      dataset_.Last();
      break;
    case NavigatorButton::Insert:
      dataset_.Insert();
      break;
    case NavigatorButton::Delete:
      DeleteOrRestore();
      break;
    case NavigatorButton::Edit:
      dataset_.Edit();
      break;
    case NavigatorButton::Post:
      dataset_.Post();
      break;
    case NavigatorButton::Cancel:
      dataset_.Cancel();
      break;
    case NavigatorButton::Refresh:
      dataset_.Refresh();
      break;
  }
  if (OnClick) OnClick(button);
}

}  // namespace dadav
