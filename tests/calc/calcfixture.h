#pragma once
// Start-up of the base and calculation units for every calculation test.

#include <gtest/gtest.h>

#include "base/brelvar.h"
#include "base/messages.h"
#include "base/numbertext.h"
#include "base/wbrelvar.h"
#include "calc/calcstart.h"

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
