#pragma once
// One index file's bytes run through every reader and writer of the index module: IndexInfo,
// the open, walks both ways, seeks and FINDs, an insert and a key-moving replace, on a fixed
// table. Damage must end each step in the engine's error or a success, never a fault or a hang.
// Used by the fuzz target and by the seeded mutations of the test suite.

#include <functional>
#include <string>

#include "platform/files/osfiles.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tables/modules/ndx/ndxsearch.h"

namespace ndxdamage {

constexpr int kRecords = 40;
constexpr int kSteps = 100;

inline void SetName(int i) {
  const std::string name = "N" + std::to_string(i * 7 % kRecords);
  std::uint8_t* p = dadav::FieldAddress(1);
  p[0] = static_cast<std::uint8_t>(name.size());
  std::copy(name.begin(), name.end(), p + 1);
}

// NAME C(10), QTY N(10,2), BORN D and CODE C(100), so that keys of every type and a deep tree
// compile against it.
inline void MakeTable(const std::string& path) {
  dadav::CreateDBF(path, {{"NAME", 'C', 10, 0, 0, false},
                          {"QTY", 'N', 10, 2, 0, false},
                          {"BORN", 'D', 8, 0, 0, false},
                          {"CODE", 'C', 100, 0, 0, false}});
  dadav::USE(path + " EXCLUSIVE");
  for (int i = 1; i <= kRecords; ++i) {
    dadav::ClearRecord();
    SetName(i);
    const double qty = i * 2.5 - 30;
    std::copy(reinterpret_cast<const std::uint8_t*>(&qty),
              reinterpret_cast<const std::uint8_t*>(&qty) + 8, dadav::FieldAddress(2));
    dadav::PutStoredField(3, "202603" + std::to_string(10 + i % 20));
    dadav::PutStoredField(4, "C" + std::to_string(i % 9));
    dadav::Append();
  }
  dadav::CloseAll();
}

inline void Step(const std::function<void()>& step) {
  try {
    step();
  } catch (const dadav::EDadavError&) {
  }
}

inline void Walk() {
  dadav::GoTop();
  for (int i = 0; i < kSteps && !dadav::dEOF(); ++i) dadav::SKIP(1);
}

inline void WalkBack() {
  dadav::GoBottom();
  for (int i = 0; i < kSteps && !dadav::dBOF(); ++i) dadav::SKIP(-1);
}

// Runs the index file at indexPath against the table at tablePath (left as MakeTable made it).
inline void Exercise(const std::string& tablePath, const std::string& indexPath) {
  dadav::EngineStart({&dadav::ExprModuleStart, &dadav::IndexInit});
  dadav::SetExceptionMode(true);
  Step([&] {
    dadav::IndexInfoRecord info;
    dadav::IndexInfo(info, indexPath);
  });
  Step([&] { dadav::USE(tablePath + " EXCLUSIVE"); });
  Step([&] { dadav::SetIndexToNames(indexPath, 1); });
  if (dadav::Area() != nullptr && dadav::IndexActive()) {
    Step(Walk);
    Step(WalkBack);
    for (const char* text : {"N1", "N39", "ZZ", "-5", "03/15/26", "C3"}) {
      Step([text] { dadav::Find(text); });
    }
    Step([] { dadav::GO(5); });
    Step([] {
      dadav::ClearRecord();
      SetName(3);
      dadav::Append();
    });
    Step([] {
      dadav::GO(7);
      SetName(11);
      dadav::Replace();
    });
    Step([] { dadav::Set_Order_To(0); });
    Step(Walk);
  }
  Step(dadav::CloseAll);
  Step(dadav::EngineExit);
}

}  // namespace ndxdamage
