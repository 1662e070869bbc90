#pragma once
// The engine's progress window behind the progress of bulk transfers (bulkprogress.h): the
// window opens over the active form, steps its bar, and while work goes on without a step lets
// the program paint every 100 ms.

namespace dadav {

void ConnectProgressWindow();

}  // namespace dadav
