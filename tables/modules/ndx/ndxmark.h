#pragma once
// The in-change mark of the open indexes: while an index is being changed its anchor carries
// the mark, so that an index a program left half changed when it ended is never trusted. A table
// opened exclusively marks its indexes once, flushed to the disk, at its first change and clears
// the marks when it closes them; a shared table marks them around each change, under the index
// write lock, where it also refuses an index another program left marked.

#include <string>

#include "tables/modules/ndx/ndxindex.h"

namespace dadav {

// Writes the mark into the index's anchor, or clears it; flush syncs the file after marking.
// False after an error, which is reported.
bool WriteChangeMark(IndexDescriptor& d, bool on, bool flush);

// Marks every open index of the current area as in change, written and flushed, until its
// indexes are closed.
void MarkIndexesChanging();

// The write bracket around a change of the current area's table: the index write lock (for a
// shared table) and the marks. An error (the lock refused, an index found marked by another
// program, a mark that could not be written) is left in LastErrorCode: nothing may change then.
void SetChangeBracket(bool on);

// Takes back the marks of the area's indexes that still match their table (all but those
// KeepIndexMarks kept): a shared table's change is done, or a PACK gave up before its swap.
void ClearIndexMarks();

// The area's indexes may no longer match their table (a change whose keys could not all be
// moved, a packed table put in place, or a rebuild about to start): their marks stay when they
// close, for the rebuild or the next open.
void KeepIndexMarks();

// Before the index is closed: a mark this program wrote is cleared, after the index's nodes are
// flushed. False after an error, which is reported.
bool ClearChangeMarkAtClose(IndexDescriptor& d);

// The error of an index found marked: it names the index and says it must be rebuilt, which
// needs the table closed in every other program.
std::string MarkedIndexMessage(const std::string& name);

}  // namespace dadav
