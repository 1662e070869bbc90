#include "cad/layer/cadstream.h"

#include "base/dialogs/utilcrt.h"
#include "base/files/listfile.h"
#include "base/files/textfile.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"

namespace {

// Block files get their own text file, so that an output file in ListFile stays open meanwhile.
TextFile BlockFile;

struct StreamState {
  bool failed = false;  // later writes to this stream do nothing
};

StreamState list_state;
StreamState block_state;
bool output_failed = false;
bool dxf_to_block = false;
std::vector<std::string> created_block_files;

// The first failure of an output is reported with its cause; every failure sets AbortFlag.
void report(const std::string& name, const std::string& cause) {
  AbortFlag = 1;
  if (output_failed) return;
  output_failed = true;
  ShowError("I/O error writing " + PathInText(name) + ": " + cause);
}

bool checked(TextFile& file, StreamState& state) {
  if (file.IoResult() == 0) return true;
  state.failed = true;
  report(file.FileName(), file.FailureText());
  return false;
}

// The output file is the user's and is put in place only complete; a block file and the plot
// program's file are the program's own and are written in place.
bool create(TextFile& file, StreamState& state, const std::string& name, bool whole) {
  // An output that was never closed is not complete.
  file.Discard();
  state.failed = false;
  if (whole) {
    file.AssignWhole(name);
  } else {
    file.Assign(name);
  }
  file.Rewrite();
  return checked(file, state);
}

// An output that failed anywhere is incomplete: its file is not put in place.
void close(TextFile& file, StreamState& state) {
  if (!file.IsOpen()) return;
  if (output_failed) {
    file.Discard();
    return;
  }
  file.Close();
  checked(file, state);
}

void put(TextFile& file, StreamState& state, std::string_view line) {
  if (state.failed) return;
  file.WriteLine(line);
  checked(file, state);
}

void put_lines(TextFile& file, StreamState& state, std::string_view lines) {
  if (state.failed) return;
  file.Write(lines);
  checked(file, state);
}

}  // namespace

void cad_stream_reset_errors() {
  output_failed = false;
  list_state.failed = false;
  block_state.failed = false;
}

bool cad_stream_failed() {
  return output_failed;
}

bool cad_list_file_create(const std::string& name) {
  return create(ListFile, list_state, name, true);
}

bool cad_plot_file_create(const std::string& name) {
  return create(ListFile, list_state, name, false);
}

void cad_list_file_close() {
  close(ListFile, list_state);
}

bool cad_block_file_create(const std::string& name) {
  dxf_to_block = true;
  if (!create(BlockFile, block_state, name, false)) return false;
  created_block_files.push_back(name);
  return true;
}

void cad_block_file_close() {
  close(BlockFile, block_state);
}

void cad_block_file_discard() {
  cad_block_file_close();
  block_state.failed = true;
  dxf_to_block = true;
}

void cad_own_file_failed(const std::string& name, const std::string& cause) {
  report(name, cause);
}

void cad_dxf_to_list_file() {
  dxf_to_block = false;
}

bool cad_dxf_in_block_file() {
  return dxf_to_block;
}

void dxf_put_lines(std::string_view lines) {
  if (dxf_to_block) {
    put_lines(BlockFile, block_state, lines);
  } else {
    put_lines(ListFile, list_state, lines);
  }
}

void cad_list_put_line(std::string_view line) {
  put(ListFile, list_state, line);
}

void cad_dxf_stream_close() {
  if (dxf_to_block) {
    cad_block_file_close();
  } else {
    cad_list_file_close();
  }
}

const std::vector<std::string>& cad_created_block_files() {
  return created_block_files;
}

void cad_forget_block_files() {
  created_block_files.clear();
}
