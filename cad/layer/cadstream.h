// The text streams of a CAD output: the output file in ListFile and the block file in a second
// text file of the same type. Write, create and close failures are sticky per output: the first
// one is reported once and sets AbortFlag, later writes to that stream do nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Starts a new output: forgets earlier failures.
void cad_stream_reset_errors();
// True when any stream of the current output failed.
bool cad_stream_failed();

// Opens ListFile for a new file that replaces name at its close, only when the output did not
// fail; false (reported) on failure.
bool cad_list_file_create(const std::string& name);
// The same for the plot program's file, written in place: its name is claimed by the file there.
bool cad_plot_file_create(const std::string& name);
// Puts the output file in place, or, when any stream of the output failed, leaves the old one.
void cad_list_file_close();
// Creates the block file under name and makes it the DXF stream; false on failure.
bool cad_block_file_create(const std::string& name);
void cad_block_file_close();
// A block that is not written: its entities go nowhere, without a report.
void cad_block_file_discard();

// Which stream the DXF emitters write to.
void cad_dxf_to_list_file();
bool cad_dxf_in_block_file();

// A writer that keeps its own file reports a failed create, write or close of it here, with its
// cause in words, into the same once-per-output report and AbortFlag.
void cad_own_file_failed(const std::string& name, const std::string& cause);

// Lines, each already ending in CR LF, into the current DXF stream in one piece.
void dxf_put_lines(std::string_view lines);
// One line and its CR LF into ListFile (code form and later writers).
void cad_list_put_line(std::string_view line);
// Closes the stream the DXF emitters write to.
void cad_dxf_stream_close();

// Block files this run created (full names), for deleting exactly those.
const std::vector<std::string>& cad_created_block_files();
void cad_forget_block_files();
