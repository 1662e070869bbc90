// Report goldens show a temporary folder as "/tmp/kv6dialogXXXXXX", whatever the folder's name
// and length. A path that a report pads to a column (followed up to the line's end by blanks and
// at most one closing box character) keeps its line's width: the blanks after it grow or shrink
// by the difference in length.
#pragma once

#include <string>

inline constexpr char kMaskedFolder[] = "/tmp/kv6dialogXXXXXX";

std::string MaskFolder(std::string text, const std::string& folder);
