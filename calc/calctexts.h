#pragma once
// Texts of the P3G calculation in German or English: quantities, options, table and drawing
// words. Stored as code page 850 bytes.

#include <cstdint>
#include <string>

inline constexpr int kCalcTextCount = 63;

// The texts numbered 1-63; any other number reads as an empty text.
class CalcTextTable {
 public:
  const std::string& operator[](int number) const;
  void Assign(int number, const char* text);

 private:
  std::string texts_[kCalcTextCount];
};

extern CalcTextTable CalcTexts;

// Language 1 German, 2 English; any other code leaves the texts as they are.
void SetCalcTexts(std::uint16_t language);
