#pragma once
// The program's one shared text file and the one-value-per-line writers and readers on it, with
// which configuration, recent-files, calculation and report files are written and read back in the
// order of writing. Failures set AbortFlag (see TextFile); reading past the end is no failure and
// gives empty texts, zeros and false.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/textfile.h"

extern TextFile ListFile;

void WriteTextLine(const std::string& text);
void WriteStringLine(const std::string& text);
// The text without a line end.
void WriteText(const std::string& text);
void WriteIntLine(std::int32_t n);
// "0" style for whole values below 1 ("-3"), else the value with 7 decimals ("0.5000000").
void WriteRealLine(long double x);
// The line WriteRealLine writes.
std::string RealLineText(long double x);
// The value as calculation files hold it, so that it survives any number of saves: "." and 7
// decimals whatever FloatDigits and the regional settings, whole values below 1 in their short
// form ("0", "-2"). A value whose 18 significant digits that form cannot hold (1e-400, 1.5e-8,
// 1.23456789012345678) is written with them in exponent form instead ("1E-400").
std::string ExactRealLineText(long double x);
void WriteBoolLine(bool b);
// The texts each followed by "|", on one line.
void WriteFields4(const std::string& a, const std::string& b, const std::string& c,
                  const std::string& d);
void WriteFields6(const std::string& s1, const std::string& s2, const std::string& s3,
                  const std::string& s4, const std::string& s5, const std::string& s6);
void WriteFields8(const std::string& s1, const std::string& s2, const std::string& s3,
                  const std::string& s4, const std::string& s5, const std::string& s6,
                  const std::string& s7, const std::string& s8);

void ReadTextLine(std::string& text);
// The first character of the line (NUL for an empty line); the rest is skipped.
void ReadCharLine(char& c);
// Integer syntax; anything else reads as 0.
void ReadIntLine(std::int32_t& n);
void ReadWordLine(std::uint16_t& n);
// "," or "." as decimal sign; anything else reads as 0.
void ReadExtLine(long double& x);
void ReadDoubleLine(double& x);
// b := the line is "TRUE" in any case; unchanged when AbortFlag is set after the read.
void ReadBoolLine(bool& b);
// b := the line is not "FALSE" in any case; unchanged when AbortFlag is set after the read.
void ReadBoolNotFalse(bool& b);
// The texts before the first four "|"; a missing "|" empties its field and the ones after it.
void ReadFields4(std::string& a, std::string& b, std::string& c, std::string& d);

// The texts before the first count "|" of a field line; a missing "|" empties its field and the
// ones after it. Always count texts.
std::vector<std::string> SplitFields(std::string_view line, std::size_t count);

// The seven-line header of calculation files: rules, title with the program file's version,
// program version and the three given drawing texts.
std::vector<std::string> ListingHeaderLines(const std::string& text1, const std::string& text2,
                                            const std::string& text3);
// ListingHeaderLines of DrawingTexts, written to ListFile.
void ListingHeader();
