// A fresh folder of one test's own under $TMPDIR (else /tmp), made with mkdtemp so that tests of
// parallel runs never meet, and removed with everything in it afterwards. Its name's length
// follows $TMPDIR; report goldens that show it go through MaskFolder.
#pragma once

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // The file's bytes exactly, empty when it cannot be read.
  std::string Bytes(const std::string& name) const;
  void Put(const std::string& name, const std::string& bytes) const;

 protected:
  std::string dir_;
};
