#include "app/input/filledvalues.h"

#include "base/text/displaytext.h"
#include "base/text/numbertext.h"

using platform::Edit;

void FilledValues::Fill(Edit& edit, long double value, const std::string& text) {
  numbers_[edit.Name()] = {value, text};
  edit.Fill(ToDisplayText(text));
}

std::optional<long double> FilledValues::Typed(const Edit& edit, Parser parse) const {
  const auto kept = numbers_.find(edit.Name());
  if (edit.Filled() && kept != numbers_.end()) return kept->second.value;
  return TypedNumber(FromDisplayText(edit.Text()), parse);
}

long double FilledValues::Read(const Edit& edit, Parser parse) const {
  return Typed(edit, parse).value_or(0);
}

void FilledValues::Refill(Edit& edit) const {
  const auto kept = numbers_.find(edit.Name());
  if (kept != numbers_.end()) edit.Fill(ToDisplayText(kept->second.text));
}

void FilledValues::Keep(const Edit& edit, Parser parse) {
  if (const std::optional<long double> value = Typed(edit, parse)) {
    numbers_[edit.Name()] = {*value, FromDisplayText(edit.Text())};
  }
}

void FilledValues::FillText(Edit& edit, const std::string& stored) {
  texts_[edit.Name()] = stored;
  edit.Fill(ToDisplayText(stored));
}

std::string FilledValues::ReadText(const Edit& edit) const {
  const auto kept = texts_.find(edit.Name());
  if (edit.Filled() && kept != texts_.end()) return kept->second;
  return FromDisplayText(edit.Text());
}
