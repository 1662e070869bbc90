#pragma once
// Start-up of the base and calculation units for every calculation test.

#include <gtest/gtest.h>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "calc/calcstart.h"
#include "calc/kv6record.h"

class CalcFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    DecimalSeparator = '.';
    StartCalculationUnits();
    ClearMessages();
  }
};

// The standard's worked example with the hub data completed, on a fresh record.
inline void SetWorkedExample() {
  ResetCalcData();
  ResetMaterials();
  kv6record& r = CalcData;
  r.d1 = 60;
  r.e1 = 2.25L;
  r.d2 = 64.5L;
  r.d3 = 55.5L;
  r.l = r.l1 = r.l2 = 60;
  r.T = 1000;
  r.Mb = 0;
  r.KA = r.fW = 1;
  r.DisplacementCase = 1;
  r.d4 = 60;
  r.d5 = 64.5L;
  for (int part = kShaft; part <= kHub; ++part) {
    Materials[part].Re = 300;
    PartFS[part] = 1.2L;
    PartFH[part] = 1;
  }
}
