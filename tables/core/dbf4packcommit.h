#pragma once
// How PACK puts its new files in place. The kept records go to "<table>.pack$" beside the
// table and the kept memos to "<memo file>.packmemo$" beside the memo file, each beside the file
// its name finally links to, so that each is renamed within its own file system (the
// extension's letter case follows the table's or the memo file's). A table without memo file is
// swapped by the one rename of its synced new file. A table and its memo file cannot be swapped
// in one step, so their swap rolls forward from a commit marker, "<table>.packed$": once both new
// files are complete and synced, the marker, naming the memo file, is written as
// "<table>.packing$", synced and renamed to its name, which commits; then the new memo file and
// the new table are renamed over the old ones, back to back, and the marker goes once both
// renames are synced. Before a table is opened, a marker found finishes the swap, only while no
// other program has the table open, and new files found without one (a pack that never
// committed) are removed, only while no other program packs the table. One program settles a
// pack: others that come to it meanwhile wait for it, up to 10 seconds, and then open the table
// it settled.

#include <string>

namespace dadav {

std::string PackedTableName(const std::string& table);
std::string PackedMemoName(const std::string& memo);

// Writes the marker and puts it in place, synced with the folder's entries, for a table with a
// memo file; 0 or the I/O code.
int CommitPackedFiles(const std::string& table, const std::string& memo);

// Renames what is left of the new files over the old ones (memo first, the table right after it)
// and removes the marker: 0 or the I/O code. nothingReplaced tells that both old files still
// stand.
int FinishPackedFiles(const std::string& table, const std::string& memo, bool& nothingReplaced);

// Removes the marker, then the new files: what a pack leaves when it gives up before its swap.
// An empty memo stands for a memo file not known: the new files of each kind beside the table go.
void DropPackedFiles(const std::string& table, const std::string& memo);

// Finishes or undoes a pack that a crash interrupted, before the table is opened; false after a
// reported error.
bool SettleInterruptedPack(const std::string& table);

}  // namespace dadav
