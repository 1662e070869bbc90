#pragma once
// Virtual files: tables that live only in memory as a list of records in a work area. The core
// hands every record request of such an area to this module through its hook. A list is freed
// when its area closes, also while the program ends.
//
// Limits: insertion mode (2) steps back from the current record like SKIP -1, so it passes
// hidden records and links the new one after the visible record before them. Records of their
// own length (record length 0) are read into the caller's buffer in full, so that buffer needs
// 2 + the largest length word bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "tables/core/workarea.h"

namespace dadav {

// Fills the virtual-file hook; a module start of EngineStart.
void VFileStart();

// Runs the request the core wrote into area.vfile.
void ServeVFileRequest(WorkArea& area);

// Defines the field structure of the current area's virtual file; a structure whose record is
// longer than the buffer the file was opened with is refused.
void AddStru(const std::vector<FieldDescriptor>& fields);
// Removes the current record of the current area's virtual file.
void SnipRec();

// The current area, when it holds a virtual file; else reports (tag names the operation).
WorkArea* VirtualArea(const char* tag);

// Adds the record buffer as a new record where the list's mode puts it; false after an error.
bool AddLL(WorkArea& area);

}  // namespace dadav
