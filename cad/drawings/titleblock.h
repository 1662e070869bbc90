// The title block of a production drawing in its four layouts (DIN 6771 short and full, ISO 7200
// Fig. 1 and Fig. 2), the change rows above an ISO 7200 block, and the user's logo, head and
// insert blocks inside it.
#pragma once

#include <cstdint>
#include <string>

// The title block of sheet size 3 (A3) or 4 (A4) at its place; other sizes draw it at the offset
// in force. Leaves the drawing offset at (0, 0).
void DrawTitleBlock(std::int32_t size, const std::string& name, const std::string& name2,
                    const std::string& number);
// Up to the eight newest changes in rows above an ISO 7200 block, drawn at the block's origin.
void DrawIsoChangeTable();
// The ISO 7200 revision field: without RevisionFromZero "A" for the first issue, then "B", ...;
// with it a blank first, then the mark of the newest change.
std::string CurrentRevisionText();

// An ISO 7200 layout is chosen; every other standard draws a DIN 6771 block.
bool IsoTitleBlock();
