#pragma once
// ISO 286 tolerance classes: from a designation such as "k6" or "H 7" and a nominal size in mm
// to the limit deviations in micrometres and the limit dimensions in mm. Problems end as a
// message text (without kind prefix); ReportIsoTolerance puts it into the message list.

#include <cstdint>
#include <string>

// Current positions in the shaft and hole rows of the letter table, 0 before the first step.
extern std::int32_t IsoShaftPosition;
extern std::int32_t IsoHolePosition;

void ResetIsoStepping();

// Forms "k 6", "js 6", "k6", "js6". Empty text: empty letters, grade 0; an unreadable text:
// letters "  " (two blanks), grade 0. A grade outside 0..255 reads as 0.
void ParseIsoTolerance(const std::string& text, std::string& letters, std::uint8_t& grade);

// Deviations of letters and grade at nominal. "<w", ">w", "<B", ">B" step through the shaft
// (w) or hole (B) letters; the letters then hold the letters stepped to.
void IsoToleranceDeviations(long double& lower, long double& upper, std::string& message,
                            std::uint8_t grade, std::string& letters, long double nominal);

void CheckIsoTolerance(long double& lower, long double& upper, std::string& message,
                       std::uint8_t& grade, std::string& letters, std::string& text,
                       long double nominal);

// As CheckIsoTolerance; a message sets AbortFlag and goes into the message list. The text
// becomes letters + " " + grade.
void ReportIsoTolerance(long double& lower, long double& upper, std::string& text,
                        long double nominal);

// Limit dimensions in mm; the caller's text is not changed.
void IsoLimitDimensions(long double& minimum, long double& maximum, const std::string& text,
                        long double nominal);
