// Dimensions and arrows of the CAD output layer.
#pragma once

// DimArrowFactor := f * DimArrowBase; a result below 0.001 in absolute value gives 1.0.
void cad_dim_scale(long double f);
