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
//
// Each new file is made afresh (never an existing file or a link opened) with the owner, group,
// mode and extended attributes of the file it replaces, and PACK is refused where it cannot take
// them. Where another user's file holds a usual name, the new file takes a name of its own beside
// it, which the marker names. Only files of the table's owner or of the running user count as a
// pack's: another user's file under such a name is never renamed in nor removed, and stops no open.

#include <string>

#include "platform/files/blockfile.h"

namespace dadav {

// The files of one pack: the memo file the new one replaces (empty for a table without one), and
// the new table and memo file.
struct PackFiles {
  std::string memo;
  std::string newTable;
  std::string newMemo;
};

std::string PackedTableName(const std::string& table);
std::string PackedMemoName(const std::string& memo);

// Opens into file a new file of the pack for the file replaced: under name, or where another user's
// file holds that, under a name of its own beside the file replaced finally names; made gets the
// name used. 0, the I/O code, or -1 after an error reported where the new file cannot take the
// replaced file's owner, group, mode or attributes.
int CreatePackedFile(const std::string& replaced, const std::string& name,
                     platform::BlockFile& file, std::string& made);

// Writes the marker and puts it in place, synced with the folder's entries, for a table with a
// memo file; 0, the I/O code, or -1 after an error reported where another user's file holds the
// marker's name.
int CommitPackedFiles(const std::string& table, const PackFiles& files);

// Renames what is left of the new files over the old ones (memo first, the table right after it)
// and removes the marker: 0 or the I/O code. nothingReplaced tells that both old files still
// stand.
int FinishPackedFiles(const std::string& table, const PackFiles& files, bool& nothingReplaced);

// Removes the marker, then the new files: what a pack leaves when it gives up before its swap.
void DropPackedFiles(const std::string& table, const PackFiles& files);

// Finishes or undoes a pack that a crash interrupted, before the table is opened; false after a
// reported error.
bool SettleInterruptedPack(const std::string& table);

}  // namespace dadav
