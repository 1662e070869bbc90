// Standard drawing scales and the scale note written beside a scaled profile.
#pragma once

#include <string>

// The largest value of the series 1, 2, 5 x 10^n not above s, unless s lies within about 1 %
// below the next step, which it then gives. 1 for a non-finite or non-positive s.
long double RoundScale(long double s);

// "M s:1" for s of 1 or more, else "M 1:" and the reciprocal.
std::string ScaleText(long double s);
