#pragma once
// Auxiliary images: a user-kept list of HP-GL images with a description each, in a list file
// beside the help files (PltDir + short name + ".dbh", one line per image: "name","description").
// The user browses the list in a slim form, sees each image in the drawing window, and appends,
// inserts, modifies and deletes lines.

#include <cstddef>
#include <string>

// One field of a list line from pos on: after one optional comma, a quoted text up to its
// closing quote or the end of the line. A field that does not start with a quote shows
// "DBH file error" and is read up to the next quote.
void ReadDbhField(const std::string& line, std::size_t& pos, std::string& text);
// A list line; a quote inside name or text becomes an apostrophe.
std::string DbhLine(const std::string& name, const std::string& text);

// Draws PltDir + name in lower case + ".plt" in the header window (0..160 by 0..120).
void ShowAuxImage(const std::string& name);

// The browse-and-maintain run. Ends with AbortFlag set when the user leaves with OK or cancels a
// command, clear when an image could not be drawn.
void AuxImages();
