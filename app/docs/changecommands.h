#pragma once
// The Documentation menu's change commands over the change list, which works as a stack: new
// entries are appended, only the latest is modified or removed.

#include <cstdint>

// 1 new change, 2 modify the latest, 3 delete the latest, 4 show the protocol, 5 print it.
// New, modify and delete show the protocol afterwards unless the entry form was cancelled. A
// confirmed new or modified entry and a deleted one mark the input as modified.
void ChangeProtocol(std::uint16_t action);
