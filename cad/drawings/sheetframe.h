// The sheet frame of a production drawing: trim and border rectangles, title block, protection
// notice, free drawing texts, marking strip, footer and program line.
#pragma once

#include <cstdint>
#include <string>

// The whole frame of one sheet of size 1 (A1) to 4 (A4). A name, second name or number that is
// "/" (blanks aside) is drawn empty. Switches the drawing-information labels to English.
void DrawSheetFrame(std::int32_t size, const std::string& name, const std::string& name2,
                    const std::string& number);
// Guards, layer and text style of the protection notice on A3 and A4 sheets. It writes no text:
// the notice has no wording of its own, and a following free text of height 0 takes this style.
void DrawProtectionNote(std::int32_t size);
// The drawing header of an A4 or A3 page; other sizes do nothing.
void SetSheetExtents(std::int32_t size);
