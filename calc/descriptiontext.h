#pragma once
// A change description holds its line breaks as CR LF. Where it has to stay on one line (the
// one-line edit of the change-entry form, a line of the calculation file) each break shows as
// "|"; the printout gives each of its lines a report line.

#include <string>
#include <string_view>
#include <vector>

// CR LF, a lone CR and a lone LF each become one "|".
std::string DescriptionAsOneLine(std::string_view description);
// Each "|" becomes CR LF.
std::string DescriptionFromOneLine(std::string_view line);
// The lines between breaks (CR LF, CR or LF); an empty description is one empty line.
std::vector<std::string> DescriptionLines(std::string_view description);
