// The table of limit dimensions beside a fit drawing's profile: one row per toleranced diameter
// with its nominal size and ISO 286 tolerance, its maximum and its minimum dimension.
#pragma once

#include <string>

#include "cad/drawings/cadtable.h"

class FitTable : public TAusTabelle {
 public:
  // Draws the heading row at once.
  FitTable(long double x, long double y, long double h);

  // Draws the row of tolerance at nominal (mm). A tolerance the ISO tables do not hold gives
  // the nominal size in both dimension columns and its message in the message list; AbortFlag
  // is left as it was, since an advisory about one row must not end the caller's drawing.
  void AddFit(std::string tolerance, long double nominal);
};
