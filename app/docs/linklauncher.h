#pragma once
// Starting a document link: its program with its file, or the file with the desktop's default
// program. Texts are Windows-1252 as typed; failures stay silent.

#include <string>

// The program text's words (the whole text when it names an existing file, so a path with
// blanks needs no quotes) followed by a non-empty file as one argument. A Windows program stands
// for the desktop's default program and opens the file. An empty program text, or a Windows
// program with an empty file, starts nothing.
void ExecLinkProgram(const std::string& program, const std::string& file);
// The file with the desktop's default program; an empty file text opens nothing.
void ExecLinkFile(const std::string& file);
