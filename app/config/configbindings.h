#pragma once
// How a control of the configuration form shows a setting and stores it back. A control still
// showing what it was loaded with stores the setting as it was, then the setting's repair; a
// choice with nothing selected keeps the setting. A number control that holds text that is not
// a number is refused before anything is stored.

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/dialogs/utilcrt.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "calc/calcfileformat.h"
#include "platform/ui/controls.h"

using LoadStore = std::pair<std::function<void()>, std::function<void()>>;

// A number control's binding with whether the control holds a number the setting takes; one
// that does not is refused with the range message and shows the setting again.
struct NumberBinding {
  LoadStore loadStore;
  std::function<bool()> accepts;
};

// Whether a number edit holds a whole number of 32 bits; else the refusal, the setting shown
// again by load and the focus on the edit.
inline bool AcceptsWholeNumber(platform::Edit& edit, const std::function<void()>& load) {
  if (edit.Filled() || TypedInt(edit.Text())) return true;
  ShowInt32RangeError();
  load();
  edit.SetFocus();
  return false;
}

using Repair = std::function<long double(long double)>;

inline Repair ZeroGives(long double replacement) {
  return [replacement](long double x) { return x == 0 ? replacement : x; };
}

// A real (long double or double) shown with `show` and read with `read`, within what a number
// field of the record takes.
template <typename Real>
NumberBinding RealBinding(platform::Edit& edit, Real& value, Repair repair = nullptr,
                          std::function<std::string(long double)> show = RealText,
                          std::function<long double(std::string_view)> read = TextToReal) {
  const auto load = [&edit, &value, show] { edit.Fill(show(static_cast<long double>(value))); };
  const auto accepts = [&edit, load, show, read] {
    const std::string typed = TrimBlanks(edit.Text());
    if (edit.Filled() || (TypedReal(typed) && std::fabs(read(typed)) <= kLargestInput)) {
      return true;
    }
    ShowRangeError(show(-kLargestInput), show(kLargestInput));
    load();
    edit.SetFocus();
    return false;
  };
  return {{load,
           [&edit, &value, repair, read] {
             long double x =
                 edit.Filled() ? static_cast<long double>(value) : read(TrimBlanks(edit.Text()));
             if (repair) x = repair(x);
             value = static_cast<Real>(x);
           }},
          accepts};
}

// A whole number in an edit; repair gets the typed number.
template <typename Int>
NumberBinding IntEditBinding(platform::Edit& edit, Int& value,
                             std::function<std::int32_t(std::int32_t)> repair = nullptr) {
  const auto load = [&edit, &value] { edit.Fill(IntText(static_cast<std::int32_t>(value))); };
  return {{load,
           [&edit, &value, repair] {
             const std::int32_t n = edit.Filled() ? static_cast<std::int32_t>(value)
                                                  : TypedInt(edit.Text()).value_or(0);
             value = static_cast<Int>(repair ? repair(n) : n);
           }},
          [&edit, load] { return AcceptsWholeNumber(edit, load); }};
}

inline LoadStore TextBinding(platform::Edit& edit, std::string& value) {
  return {[&edit, &value] { edit.Fill(value); },
          [&edit, &value] {
            if (!edit.Filled()) value = edit.Text();
          }};
}

// A check box; inverse: ticked while the flag is clear.
template <typename Flag>
LoadStore FlagBinding(platform::CheckBox& box, Flag& flag, bool inverse = false) {
  return {[&box, &flag, inverse] { box.SetChecked((flag != 0) != inverse); },
          [&box, &flag, inverse] { flag = static_cast<Flag>(box.Checked() != inverse ? 1 : 0); }};
}

// Item index + offset; an item the setting has none for selects nothing and keeps the setting,
// unless noneStoresZero.
template <typename Choice, typename Value>
LoadStore ChoiceBinding(Choice& choice, Value& value, std::int32_t offset = 0,
                        bool noneStoresZero = false) {
  return {
      [&choice, &value, offset] { choice.SetItemIndex(static_cast<std::int32_t>(value) - offset); },
      [&choice, &value, offset, noneStoresZero] {
        if (choice.ItemIndex() >= 0) {
          value = static_cast<Value>(choice.ItemIndex() + offset);
        } else if (noneStoresZero) {
          value = 0;
        }
      }};
}

// A spin edit keeps its range; a value it had to bring into the range is stored only when the
// user changed it.
template <typename Int>
LoadStore SpinBinding(platform::SpinEdit& spin, Int& value,
                      std::function<std::int32_t(std::int32_t)> repair = nullptr) {
  auto shown = std::make_shared<std::int32_t>(0);
  return {[&spin, &value, shown] {
            spin.SetValue(static_cast<std::int32_t>(value));
            *shown = spin.Value();
          },
          [&spin, &value, shown, repair] {
            std::int32_t n =
                spin.Value() == *shown ? static_cast<std::int32_t>(value) : spin.Value();
            if (repair) n = repair(n);
            value = static_cast<Int>(n);
          }};
}

// A grid cell holding a whole number.
template <typename Int>
NumberBinding CellBinding(platform::StringGrid& grid, std::int32_t col, std::int32_t row,
                          Int& value) {
  auto shown = std::make_shared<std::string>();
  return {{[&grid, col, row, &value, shown] {
             *shown = IntText(static_cast<std::int32_t>(value));
             grid.SetCell(col, row, *shown);
           },
           [&grid, col, row, &value, shown] {
             if (grid.Cell(col, row) != *shown)
               value = static_cast<Int>(TypedInt(grid.Cell(col, row)).value_or(0));
           }},
          [&grid, col, row, shown] {
            if (grid.Cell(col, row) == *shown || TypedInt(grid.Cell(col, row))) return true;
            ShowInt32RangeError();
            grid.SetCell(col, row, *shown);
            grid.SetCurrent(col, row);
            grid.SetFocus();
            return false;
          }};
}
