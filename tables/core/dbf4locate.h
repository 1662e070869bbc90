#pragma once
// LOCATE and CONTINUE: the next record whose field matches a value, with the options NOCASE,
// EXACT and CONTAINED.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace dadav {

using LocateVariant = std::variant<std::string, long double, std::int64_t, bool>;

extern bool LocateCaseSensitive;
extern bool LocateExact;
extern bool LocateContained;
extern std::int32_t LocateField;
extern std::string LocateText;

std::int32_t ParseLocateField(const std::string& command);
// The field's stored text, in the engine's code page, or for a virtual file its stored form.
void FieldTextAt(std::int32_t field, std::int32_t record, std::string& text);
bool MemoContains(const std::string& text, const std::string& memoFieldText);
void LocateFrom(std::int32_t start, std::int32_t field, bool isNew);
void Continue();
bool LocateValue(const std::string& fieldSpec, const LocateVariant& value, bool nocase,
                 std::int32_t start, bool exact);
bool LocateFields(const std::string& fieldList, const std::vector<LocateVariant>& values,
                  bool nocase, bool move, bool exact);
void ListItem(std::int32_t index, std::string& item, const std::string& list);

}  // namespace dadav
