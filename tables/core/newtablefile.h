#pragma once
// A table or memo file made anew under a name (CREATE): written as the output unit writes every
// file, beside an old file under the name, which keeps its place until the new one is complete, or
// in its place where a new file cannot take it (see platform::OpenOutput). The old file is held
// exclusively meanwhile, so that it is never replaced while another program has it open.

#include <string>

#include "platform/files/blockfile.h"
#include "platform/files/newoutput.h"

namespace dadav {

class NewTableFile {
 public:
  NewTableFile() = default;
  ~NewTableFile();
  NewTableFile(const NewTableFile&) = delete;
  NewTableFile& operator=(const NewTableFile&) = delete;

  // Opens the new file of name into file, for reading and writing: 0, 32 while another program
  // has the old file open, or the I/O code.
  int Open(const std::string& name, platform::BlockFile& file);
  // Puts the new file, written and closed, in place of the old one: 0 or the I/O code. Without
  // it the old file stays.
  int Place();

 private:
  platform::BlockFile old_;
  platform::NewOutput output_;
};

}  // namespace dadav
