#include "platform/system/commandscript.h"

#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"

namespace platform {

bool WriteCommandScript(const std::string& path, const std::string& commandLine) {
  const std::string script = "#!/bin/sh\n" + os::HostName(commandLine) + "\n";
  // The mode is set after writing, since the creation mask and an existing file's mode would
  // otherwise decide it.
  NewOutput output;
  return OpenOutput(path, output) == 0 && WriteWholeOutput(output, script, false) == 0 &&
         os::ChangeMode(path, 0755) == 0;
}

}  // namespace platform
