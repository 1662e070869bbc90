#pragma once
// Registration of the memo module with the table engine: pass MemoStart to EngineStart (after
// the parser's start and IndexInit).

namespace dadav {

void MemoStart();

}  // namespace dadav
