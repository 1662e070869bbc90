#pragma once
// The drawing-information form: replacement texts, the date and name rows of the title block,
// the ISO 7200 fields, the free drawing texts and the sheet formats they go on.

// Shows the modal form "TForm_zeichInfo" in the layout of the configured title block. OK stores
// every field, marks the input as modified and clears AbortFlag; Cancel or the close box store
// nothing and set AbortFlag.
void ShowDrawingInfo();
