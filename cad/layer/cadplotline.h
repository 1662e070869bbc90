// The plot program's command line built by a row of prompts, and the script that stands for a
// line too long to be typed at the target choice.
#pragma once

#include <string>

// On entry the current command line, whose program folder is proposed; on return the new line.
// Cancel at any prompt sets AbortFlag and ends at once, the line as it is then.
void plot_command_line(std::string& line);
