#include "cad/caddim.h"

#include <cmath>

#include "cad/cadvar.h"

void cad_dim_scale(long double f) {
  DimArrowFactor = f * DimArrowBase;
  if (std::fabs(DimArrowFactor) < 0.001L) DimArrowFactor = 1.0L;
}
