#pragma once
// The change-entry form: text, date, editor and description of one change.

#include <cstdint>

// Edits change entry index (1-25) in the modal form "TForm_EinAend". OK stores the entry and
// clears AbortFlag; Cancel or the close box leave it unchanged and set AbortFlag.
void EditChangeEntry(std::uint16_t index);
