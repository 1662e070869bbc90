#include <gtest/gtest.h>

#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4locate.h"
#include "tables/modules/expr/exprstart.h"
#include "tests/tables/modules/expr/exprtest.h"
#include "tests/tables/modules/vfile/vfiletest.h"

namespace {

using enginetest::Def;
using vfiletest::allocationRefusedAt;
using vfiletest::Record;
using vfiletest::VFileTest;
using Strings = std::vector<std::string>;

// Insertion mode steps back like SKIP -1, so a hidden record before the current one is passed.
TEST_F(VFileTest, InsertionModeStepsBackOverHiddenRecords) {
  Open(" INSERTION");
  for (const char* name : {"A", "B", "C"}) {
    dadav::Set_VFileMode_To(0);
    Add(name);
  }
  dadav::Set_VFileMode_To(2);
  dadav::GO(2);
  dadav::DeleteRec();
  dadav::SetIgnoreDel(true);
  dadav::GO(3);
  Add("X");
  EXPECT_EQ(Names(), (Strings{"A", "X", "B", "C"}));
}

TEST_F(VFileTest, FieldsReadTheRecordAndGoRefusesOutOfRange) {
  Open();
  Add("A", 1);
  Add("C", 3);
  dadav::GoBottom();
  EXPECT_EQ(enginetest::FieldText(1), "C");
  EXPECT_EQ(enginetest::FieldText(2), "       3");
  for (std::int32_t n : {0, 3}) {
    const auto [code, message] = Failure([n] { dadav::VFileRequest(*dadav::Area(), 3, n); });
    EXPECT_EQ(code, 212);
    EXPECT_EQ(message, "Attempted to position to record number " + std::to_string(n) +
                           "  Database record count is 2NAMES [VFiles]");
  }
}

TEST_F(VFileTest, PopRefusesAnEmptyFileAndInsertionMode) {
  Open();
  EXPECT_EQ(Failure([] { dadav::VFileRequest(*dadav::Area(), 6); }),
            std::pair(std::uint16_t{1100},
                      std::string("Virtual file empty - no more records to POP from NAMES "
                                  "[(PopRec) VFiles]")));
  Add("C");
  dadav::Set_VFileMode_To(2);
  EXPECT_EQ(
      Failure([] { dadav::VFileRequest(*dadav::Area(), 6); }),
      std::pair(std::uint16_t{1100}, std::string("Cannot POP a record in INSERTION mode from NAMES "
                                                 "[(PopRec) VFiles]")));
  EXPECT_EQ(Names(), (Strings{"C"}));
}

TEST_F(VFileTest, FailedAllocationsLeaveTheListAsItWas) {
  Open();
  Add("A");
  allocationRefusedAt = 1;
  EXPECT_EQ(Failure([this] { Add("B"); }),
            std::pair(std::uint16_t{217},
                      std::string("Not enough HEAP to setup pointers.  Cannot add new record "
                                  "to NAMES [VFiles]")));
  allocationRefusedAt = 2;
  EXPECT_EQ(Failure([this] { Add("B"); }),
            std::pair(std::uint16_t{217},
                      std::string("Not enough HEAP memory to add new record to NAMES [VFiles]")));
  EXPECT_EQ(Names(), (Strings{"A"}));
  dadav::Set_VFileMode_To(9);
  EXPECT_EQ(Failure([this] { Add("B"); }),
            std::pair(std::uint16_t{1100}, std::string("9 is an invalid VFile mode set for NAMES "
                                                       "[(AddLL) VFiles INTERNAL ERROR]")));
  EXPECT_EQ(Names(), (Strings{"A"}));
}

// Records of their own length: the buffer starts with the length word, the deletion byte
// follows it.
TEST_F(VFileTest, VariableLengthRecordKeepsItsPlaceWhenItsLengthChanges) {
  std::uint8_t buffer[40] = {};
  dadav::USE("WORDS VIRTUAL FILE", buffer, 0);
  auto put = [&buffer](const std::string& text) {
    const std::uint16_t length = static_cast<std::uint16_t>(text.size() + 1);
    std::memcpy(buffer, &length, 2);
    buffer[2] = 0;
    std::memcpy(buffer + 3, text.data(), text.size());
  };
  auto words = [] {
    Strings texts;
    for (const dadav::VFileNode* node = dadav::ListOf(*dadav::Area()).head; node != nullptr;
         node = node->next)
      texts.emplace_back(reinterpret_cast<const char*>(node->data) + std::min(3, node->size + 0),
                         node->size < 3 ? 0u : node->size - 3u);
    return texts;
  };
  for (const char* text : {"one", "two", "three"}) {
    put(text);
    dadav::VFileRequest(*dadav::Area(), 7);
  }
  put("a much longer second");
  dadav::VFileRequest(*dadav::Area(), 8, 2);
  EXPECT_EQ(words(), (Strings{"one", "a much longer second", "three"}));
  put("2");
  dadav::VFileRequest(*dadav::Area(), 8, 2);
  EXPECT_EQ(words(), (Strings{"one", "2", "three"}));
  dadav::VFileRequest(*dadav::Area(), 2, 3);
  EXPECT_EQ(buffer[2], 1);
  EXPECT_EQ(buffer[0], 2);  // the length word is not the deletion byte

  // A record of length 0 has no deletion byte: deleting it changes nothing, PACK keeps it.
  std::memset(buffer, 0, sizeof buffer);
  dadav::VFileRequest(*dadav::Area(), 7);
  dadav::VFileRequest(*dadav::Area(), 2, 4);
  dadav::VFileRequest(*dadav::Area(), 5);
  EXPECT_EQ(words(), (Strings{"one", "2", ""}));
}

TEST_F(VFileTest, AddStruChecksEveryField) {
  EXPECT_EQ(
      Failure([] { dadav::AddStru({Def("A", 'C', 1)}); }),
      std::pair(std::uint16_t{215}, std::string("No database in use [AddStru]  WorkArea = 1")));
  Open();
  EXPECT_EQ(Failure([] {
              dadav::AddStru({Def("ok", 'L', 0), Def(" price ", 'n', 0)});
            }),
            std::pair(std::uint16_t{211},
                      std::string("Invalid length, field name: \"PRICE\" in VFile field list. "
                                  "Alias= NAMES [AddStru]")));
  EXPECT_EQ(Failure([] { dadav::AddStru({Def("WHEN", 'T', 8)}); }),
            std::pair(std::uint16_t{211},
                      std::string("Invalid type \"T\" in VFile field list. Alias= NAMES "
                                  "[AddStru]")));
  EXPECT_EQ(dadav::FieldCount(), 2);  // a refused list keeps the old structure

  std::uint8_t wide[1 + 11 + 1 + 4] = {};
  dadav::USE("NAMES VIRTUAL FILE", wide, sizeof wide);
  dadav::AddStru({Def("averyverylongname", 'd', 0), Def("F", 'L', 5), Def("NOTE", 'M', 0)});
  ASSERT_EQ(dadav::FieldCount(), 3);
  std::string name;
  dadav::Field(1, name);
  EXPECT_EQ(name, "AVERYVERYL");
  EXPECT_EQ(std::tuple(dadav::FieldType(1), dadav::FieldLen(1)), std::tuple('D', 8));
  EXPECT_EQ(std::tuple(dadav::FieldType(2), dadav::FieldLen(2)), std::tuple('L', 1));
  EXPECT_EQ(std::tuple(dadav::FieldType(3), dadav::FieldLen(3), dadav::FieldDec(3)),
            std::tuple('N', 10, 0));

  const std::string table = Path("plain.dbf");
  dadav::CreateDBF(table, {Def("A", 'C', 4)});
  dadav::Select(2);
  dadav::USE(table);
  EXPECT_EQ(Failure([] { dadav::AddStru({Def("A", 'C', 1)}); }),
            std::pair(std::uint16_t{1100}, std::string("PLAIN is not a virtual file. [AddStru]")));
}

// Fields are found in the caller's buffer by the structure alone: one byte short, the last
// field would be read past the buffer's end.
TEST_F(VFileTest, AddStruRefusesAStructureLongerThanTheBuffer) {
  std::vector<std::uint8_t> shortBuffer(kSize - 1);
  dadav::USE("SHORT VIRTUAL FILE", shortBuffer.data(), kSize - 1);
  dadav::AddStru({Def("NAME", 'C', 10)});
  EXPECT_EQ(Failure([] {
              dadav::AddStru({Def("NAME", 'C', 10), Def("ID", 'N', 8)});
            }),
            std::pair(std::uint16_t{266},
                      std::string("Database record/buffer size mismatch: SHORT [AddStru]\n\r"
                                  "Record Size=16, Buffer Size=15")));
  EXPECT_EQ(dadav::FieldCount(), 1);
  std::string text;
  EXPECT_EQ(Failure([&text] { dadav::FieldAsText(2, text); }).first, 220);

  Open();  // exactly the structure's size
  EXPECT_EQ(std::tuple(dadav::LastErrorCode, dadav::FieldCount()), std::tuple(0, 2));
}

// A virtual file with a table's fields holds the table's native record byte for byte, so
// records copy between them unchanged; a memo field stays a 4-byte reference.
TEST_F(VFileTest, VirtualRecordEqualsTheTablesNativeRecord) {
  const std::vector<dadav::FieldDescriptor> fields = {
      Def("NAME", 'C', 10),    Def("DAY", 'D', 8), Def("COUNT", 'N', 10),
      Def("PRICE", 'N', 8, 2), Def("OK", 'L', 1),  Def("NOTE", 'M', 10)};
  const std::string table = Path("full.dbf");
  dadav::CreateDBF(table, fields);
  dadav::Select(2);
  dadav::USE(table + " EXCLUSIVE");
  const std::uint16_t size = dadav::NativeRecordSize(2);
  std::vector<std::ptrdiff_t> tableOffsets;
  for (std::int32_t n = 1; n <= 6; ++n)
    tableOffsets.push_back(dadav::FieldAddress(n) - dadav::Area()->native);
  enginetest::SetText(1, "Gear");
  enginetest::SetText(2, "03/15/26");
  enginetest::SetInt64(3, 1234567890);
  enginetest::SetReal(4, 12.5);
  enginetest::SetLogical(5, true);
  const std::int32_t reference = 42;
  std::memcpy(dadav::FieldAddress(6), &reference, 4);
  dadav::Append();
  dadav::GO(1);
  const std::vector<std::uint8_t> stored(dadav::Area()->native, dadav::Area()->native + size);

  dadav::Select(1);
  std::vector<std::uint8_t> buffer(stored);
  dadav::USE("COPY VIRTUAL FILE", buffer.data(), size);
  dadav::AddStru(fields);
  ASSERT_EQ(dadav::NativeRecordSize(1), size);
  for (std::int32_t n = 1; n <= 6; ++n)
    EXPECT_EQ(dadav::FieldAddress(n) - buffer.data(),
              tableOffsets[static_cast<std::size_t>(n - 1)]);
  dadav::Append();
  std::fill(buffer.begin(), buffer.end(), 0);
  dadav::GO(1);
  EXPECT_EQ(buffer, stored);
  std::string text;
  dadav::FieldTextAt(6, 1, text);
  EXPECT_EQ(text, "        42");
  dadav::FieldTextAt(3, 1, text);
  EXPECT_EQ(text, "1234567890");

  dadav::Select(2);
  std::memcpy(dadav::Area()->native, buffer.data(), size);
  dadav::Append();
  dadav::GO(2);
  EXPECT_EQ(std::vector<std::uint8_t>(dadav::Area()->native, dadav::Area()->native + size), stored);
}

// Expressions read a virtual memo field's reference as the 4 bytes it takes.
TEST_F(VFileTest, ExpressionsReadTheMemoReference) {
  dadav::ExprModuleStart();
  std::uint8_t buffer[1 + 4 + 4] = {};
  dadav::USE("NOTES VIRTUAL FILE", buffer, sizeof buffer);
  dadav::AddStru({Def("NOTE", 'M', 10), Def("NEXT", 'N', 4)});
  const std::int32_t reference = 42, next = 7;
  std::memcpy(dadav::FieldAddress(1), &reference, 4);
  std::memcpy(dadav::FieldAddress(2), &next, 4);
  dadav::Append();
  exprtest::Handle sum = exprtest::Compile("NOTE * 100 + NEXT");
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(*static_cast<const double*>(dadav::EvalCompiled(sum.get())), 4207.0);
}

TEST_F(VFileTest, HookIsEmptyWithoutTheModule) {
  dadav::EngineStart();
  EXPECT_EQ(Failure([this] { dadav::USE("X VIRTUAL FILE", buffer_, kSize); }),
            std::pair(std::uint16_t{1101}, std::string("[USE(X VIRTUAL FILE,<@Buffer>,<size>)]")));
  dadav::EngineStart({&dadav::VFileStart});
  EXPECT_EQ(dadav::VFileHook, &dadav::ServeVFileRequest);
}

}  // namespace
