#pragma once
// What a number cell of the browse takes: what the program's input forms take, a number with
// blanks around it and the decimal comma, and nothing else.

#include <optional>
#include <string>

#include "tables/core/workarea.h"

namespace dadav {

// The value of text typed into the field's cell; nothing for text that is no number, for a
// fraction in a whole-number field and for a number no double holds.
std::optional<double> CellNumber(const FieldDescriptor& field, const std::string& text);
// The valid-data box with the values the field's width holds.
void RefuseCellNumber(const FieldDescriptor& field);

}  // namespace dadav
