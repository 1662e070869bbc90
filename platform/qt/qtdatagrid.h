// The data grid as a QTableView over a table model that asks the grid model for each cell it
// paints, with a delegate that draws boolean boxes, row colours and edits through the grid's
// masks; the data navigator as a QToolBar of ten actions.
#pragma once

#include <QWidget>

#include "platform/ui/datagrid.h"

namespace platform::qt {

QWidget* MakeDataGrid(DataGrid& grid, QWidget* parent);
QWidget* MakeDataNavigator(DataNavigator& navigator, QWidget* parent);

}  // namespace platform::qt
