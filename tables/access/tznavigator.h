#pragma once
// The data navigator of a command dataset: its ten buttons move through the table and edit it;
// Delete deletes a live record and restores one marked deleted, each after its question.

#include <functional>

#include "platform/ui/datagrid.h"
#include "tables/access/tzcdataset.h"

namespace dadav {

class TTzNavigator {
 public:
  TTzNavigator(platform::DataNavigator& control, TTzCDataSet& dataset);
  ~TTzNavigator();
  TTzNavigator(const TTzNavigator&) = delete;
  TTzNavigator& operator=(const TTzNavigator&) = delete;

  bool ConfirmDelete = true;
  bool ConfirmRestore = true;
  // After each button's action.
  std::function<void(platform::NavigatorButton)> OnClick;
  // Runs each press of a button; the owner puts its error guard here.
  std::function<void(const std::function<void()>& action)> ActionGuard;

  platform::DataNavigator& Control() { return control_; }
  // What a press of the button does.
  void BtnClick(platform::NavigatorButton button);

 private:
  void DeleteOrRestore();

  platform::DataNavigator& control_;
  TTzCDataSet& dataset_;
};

}  // namespace dadav
