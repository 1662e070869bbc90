#pragma once
// The change protocol as a report: the drawing date and designer, the replacement texts and the
// change list with mark, date, editor, change text and description. The marks are digits in
// index style 1, else lower-case letters, whatever the drawings' own style.

#include <cstdint>

// device as OpenReport takes it (1 the viewer, 0 configured or asked). A cancelled device choice,
// or AbortFlag set on entry, writes nothing.
void PrintChangeProtocol(std::uint16_t device);
