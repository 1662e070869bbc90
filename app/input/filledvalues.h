#pragma once
// Edits filled from the record that give the record's value back bit for bit while the user
// leaves them alone.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/controls.h"

// Values behind the texts the program filled edits with. A filled edit (its mark still standing)
// reads back as the value it was filled with; only a text the user changed is parsed. Without
// this an untouched OK would store every value rounded to the digits shown.
class FilledValues {
 public:
  using Parser = long double (*)(std::string_view);

  // value shown as text, a stored (code page 850) text.
  void Fill(platform::Edit& edit, long double value, const std::string& text);
  // The value the edit stands for; nothing when the user typed text that is not a number.
  std::optional<long double> Typed(const platform::Edit& edit, Parser parse) const;
  // As Typed, with text that is not a number read as 0.
  long double Read(const platform::Edit& edit, Parser parse) const;
  // The value and text the edit was last filled or kept with, filled in again.
  void Refill(platform::Edit& edit) const;
  // What the edit holds now becomes what a Refill brings back: a calculation took it.
  void Keep(const platform::Edit& edit, Parser parse);
  // A stored text shown for display; an unchanged one reads back as the same bytes.
  void FillText(platform::Edit& edit, const std::string& stored);
  std::string ReadText(const platform::Edit& edit) const;

 private:
  struct Shown {
    long double value;
    std::string text;
  };
  std::map<std::string, Shown> numbers_;
  std::map<std::string, std::string> texts_;
};
