#pragma once
// The change protocol as a report: the drawing date and designer, the replacement texts and the
// change list with mark, date, editor, change text and description.

#include <cstdint>
#include <string>

// The mark of change i in the protocol: digits in style 1, else lower-case letters, whatever the
// drawings' own style.
std::string ProtocolMark(std::int32_t i);
// device as OpenReport takes it (1 the viewer, 0 configured or asked). A cancelled device choice,
// or AbortFlag set on entry, writes nothing.
void PrintChangeProtocol(std::uint16_t device);
