#pragma once
// Opening and saving calculation files, with their dialogs and messages. Each clears AbortFlag
// first and sets it on failure.

#include <string>

// Reads a file into the program, whole or not at all. name: empty for the open dialog (which
// then sets CurrentFile and DataDir), a bare name ("null") for that file in DataDir, or a path.
// A file that cannot be read or is damaged is refused with a message. True when the file was
// taken over.
bool ReadCalcFile(const std::string& name);
// ReadCalcFile, then the calculation of what was read. True when the file was taken over; an
// advisory of the calculation is no failure. Where the calculation stops, the record holds no
// results, so nothing of the connection before stays beside the file's inputs.
bool LoadCalcFile(const std::string& name);
// Writes the program's connection under the name the save dialog decides (empty name: the user
// chooses). The old file stays until the new one is complete. True when the file was written.
bool WriteCalcFile(const std::string& name);
