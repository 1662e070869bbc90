#include <cstring>

#include "accesstest.h"
#include "tables/access/tzblobstream.h"
#include "tables/access/tzfiledataset.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"

namespace {

using namespace dadav;
using namespace accesstest;

// Header of five fields and the record length of the test table.
constexpr std::size_t kSecondRecord = 32 + 5 * 32 + 1 + 39;

class dataset : public AccessTest {
 protected:
  // NAME C(10), WHEN D, QTY N(11,0), PRICE N(8,2), OK L; record i named "R<i>".
  std::string MakeTable(int n, const std::vector<int>& deleted = {}) {
    const std::string path = Path("parts.dbf");
    NewTable(
        path,
        {Def("NAME", 'C', 10), Def("WHEN", 'D', 8), Def("QTY", 'N', 11), Def("PRICE", 'N', 8, 2),
         Def("OK", 'L', 1)},
        n,
        [](int i) {
          SetText(1, "R" + std::to_string(i));
          SetInt64(3, i == 2 ? 12345678901LL : i);
          SetReal(4, i * 1.5);
          SetLogical(5, i % 2 == 1);
        },
        deleted);
    CloseAll();
    return path;
  }
  void OpenOn(TTzDbf& data, const std::string& path) {
    data.SetDbfFileName(path);
    data.Open();
  }
};

TEST_F(dataset, ScrollingPastTheEndStaysOnTheLastRecordAndBackShowsItAgain) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(3));
  EXPECT_EQ(data.RecNo(), 1);
  EXPECT_TRUE(data.Bof());
  data.Next();
  data.Next();
  EXPECT_EQ(data.RecNo(), 3);
  EXPECT_FALSE(data.Eof());
  data.Next();
  EXPECT_TRUE(data.Eof());
  EXPECT_EQ(data.RecNo(), 3);
  EXPECT_EQ(data.FieldByName("name").AsString(), "R3");
  data.Next();  // the end code comes once; nothing moves
  EXPECT_EQ(data.RecNo(), 3);
  data.Prior();
  EXPECT_FALSE(data.Eof());
  EXPECT_EQ(data.RecNo(), 3);
  data.Prior();
  EXPECT_EQ(data.RecNo(), 2);
  data.Prior();
  data.Prior();
  EXPECT_TRUE(data.Bof());
  EXPECT_EQ(data.RecNo(), 1);
  data.Last();
  EXPECT_EQ(data.RecNo(), 3);
  EXPECT_TRUE(data.Eof());
  data.First();
  EXPECT_EQ(data.RecNo(), 1);
  EXPECT_EQ(data.MoveBy(5), 2);
}

TEST_F(dataset, AnEmptyTableIsEmptyAndTakesAnAppendedRecord) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(0));
  EXPECT_TRUE(data.IsEmpty());
  EXPECT_EQ(data.RecNo(), 0);
  data.Next();
  data.Prior();
  EXPECT_TRUE(data.IsEmpty());
  data.Append();
  data.FieldByName("NAME").SetAsString("NEW");
  data.Post();
  EXPECT_EQ(data.RecordCount(), 1);
  EXPECT_EQ(data.RecNo(), 1);
  EXPECT_EQ(data.FieldByName("NAME").AsString(), "NEW");
}

TEST_F(dataset, ADateFieldWithoutADateIsEmptyAndWritesBackTheBlankPicture) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(1));
  TField& when = data.FieldByName("WHEN");
  EXPECT_TRUE(when.IsNull());
  EXPECT_EQ(when.AsFloat(), 0);
  data.Edit();
  when.SetAsString("03/15/26");
  data.Post();
  EXPECT_EQ(when.AsString(), "03/15/26");
  EXPECT_EQ(enginetest::Stored(2, 1), "20260315");
  data.Edit();
  when.SetAsString(BlankDate(DateFormat));
  data.Post();
  EXPECT_TRUE(when.IsNull());
  EXPECT_EQ(enginetest::Stored(2, 1), "        ");
  data.Edit();
  EXPECT_THROW(when.SetAsString("13/45/26"), EDatabaseError);
  data.Cancel();
}

TEST_F(dataset, HidingDeletedRecordsMovesOffADeletedCurrentRecord) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(4, {2, 3}));
  data.SetRecNo(2);
  EXPECT_EQ(data.RecNo(), 2);
  data.SetHideDeletedRecs(true);
  EXPECT_EQ(data.RecNo(), 4);
  data.First();
  data.Next();
  EXPECT_EQ(data.RecNo(), 4);
}

TEST_F(dataset, NilBookmarksCompareByTheFixedTable) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(3));
  EXPECT_EQ(data.CompareBookmarks(0, 0), 0);
  EXPECT_EQ(data.CompareBookmarks(0, 2), 1);
  EXPECT_EQ(data.CompareBookmarks(2, 0), -1);
  EXPECT_EQ(data.CompareBookmarks(1, 3), -1);
  EXPECT_TRUE(data.BookmarkValid(3));
  EXPECT_FALSE(data.BookmarkValid(4));
  data.GotoBookmark(3);
  EXPECT_EQ(data.RecNo(), 3);
}

TEST_F(dataset, AnElevenDigitNumberSurvivesAnEditOfAnotherField) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(2));
  data.SetRecNo(2);
  EXPECT_EQ(data.FieldByName("QTY").AsInteger(), 12345678901LL);
  data.Edit();
  data.FieldByName("PRICE").SetAsFloat(7.25);
  data.Post();
  EXPECT_EQ(enginetest::Stored(3, 2), "12345678901");
  EXPECT_EQ(enginetest::Stored(4, 2), "    7.25");
  EXPECT_EQ(data.FieldByName("QTY").AsString(), "12345678901");
}

TEST_F(dataset, FieldsWrittenByNameWaitForThePost) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(2));
  data.PutFieldStr("NAME", "CHANGED");
  EXPECT_EQ(data.State(), TDataSetState::dsEdit);
  EXPECT_EQ(enginetest::Stored(1, 1), "R1        ");
  data.PutFieldBool("OK", false);
  data.PutFieldFloat("PRICE", 2.5);
  data.PutFieldInt("QTY", 42);
  data.Post();
  EXPECT_EQ(enginetest::Stored(1, 1), "CHANGED   ");
  EXPECT_EQ(enginetest::Stored(5, 1), "F");
  EXPECT_EQ(data.GetFieldStr("price"), "2.50");
  EXPECT_FALSE(data.GetFieldBool("OK"));
}

TEST_F(dataset, AppendRecAppendsTheEditedRecordAndLeavesTheOldOneAsItWas) {
  TTzDbf data("parts");
  const std::string path = MakeTable(2);
  OpenOn(data, path);
  const std::string before = Bytes("parts.dbf").substr(0, 400);
  data.PutFieldStr("NAME", "COPY");
  ASSERT_TRUE(data.ALock());
  data.AppendRec();
  data.UnLock();
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(data.RecordCount(), 3);
  EXPECT_EQ(data.RecNo(), 3);
  EXPECT_EQ(enginetest::Stored(1, 1), "R1        ");
  EXPECT_EQ(enginetest::Stored(1, 3), "COPY      ");
  data.Close();
  EXPECT_EQ(Bytes("parts.dbf").substr(32, 150), before.substr(32, 150));
}

TEST_F(dataset, GoBeyondTheCountReports212AndLeavesTheDatasetAtTheEnd) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(3));
  try {
    data.Go(7);
    ADD_FAILURE() << "no error";
  } catch (const EDadavError& error) {
    EXPECT_NE(std::string(error.what()).find("Error # 212"), std::string::npos);
  }
  EXPECT_TRUE(data.Eof());
  data.Go(2);
  EXPECT_EQ(data.RecNo(), 2);
}

TEST_F(dataset, SearchAllFieldsReturnsTheFieldAndPositionsTheDataset) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(5));
  std::int32_t field = 0;
  data.Search("r4", field, true);
  EXPECT_EQ(field, 1);
  EXPECT_EQ(data.RecNo(), 4);
  std::string name;
  data.Field(3, name);
  EXPECT_EQ(name, "QTY");
  EXPECT_EQ(data.FieldLen(1), 10);
  std::string text;
  data.SField(4, text);
  EXPECT_EQ(text, "    6.00");
}

TEST_F(dataset, LocateMovesAndLookupDoesNot) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(5));
  EXPECT_TRUE(data.Locate("NAME", {std::string("r3")}, {true, false}));
  EXPECT_EQ(data.RecNo(), 3);
  EXPECT_FALSE(data.Locate("NAME", {std::string("R9")}, {}));
  EXPECT_EQ(data.RecNo(), 3);
  const auto found = data.Lookup("NAME", {std::string("R5")}, "PRICE;OK");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], "    7.50");
  EXPECT_EQ(found[1], LogicalLetters.substr(1, 1));
  EXPECT_EQ(data.RecNo(), 3);
}

TEST_F(dataset, DeleteAndRestoreGoThroughTheRecordLockWithTheirEvents) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(3));
  data.SetRecNo(2);
  data.Delete();
  EXPECT_EQ(Bytes("parts.dbf")[kSecondRecord], '*');
  int events = 0;
  data.BeforeRestore = [&](TTzCDataSet&) { events += 1; };
  data.AfterRestore = [&](TTzCDataSet&) { events += 10; };
  data.Restore();
  EXPECT_EQ(events, 11);
  EXPECT_EQ(Bytes("parts.dbf")[kSecondRecord], ' ');
}

TEST_F(dataset, ARefusedPostLockWithoutAHandlerLeavesTheFileByteForByte) {
  const std::string path = MakeTable(3);
  OtherProcess other(path, [] {
    GO(2);
    if (!RLock()) throw 1;
  });
  const std::string before = Bytes("parts.dbf");
  TTzDbf data("parts");
  OpenOn(data, path);
  data.SetRecNo(2);
  data.PutFieldStr("NAME", "LOST");
  data.Post();
  EXPECT_TRUE(Shown("Lock failed [Post]"));
  EXPECT_EQ(data.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(data.FieldByName("NAME").AsString(), "R2");
  data.Close();
  EXPECT_EQ(Bytes("parts.dbf"), before);
  EXPECT_EQ(other.Finish(), 0);
}

TEST_F(dataset, APostRetriedOnceByTheHandlerWritesOnTheSecondAttempt) {
  const std::string path = MakeTable(3);
  auto other = std::make_unique<OtherProcess>(path, [] {
    GO(2);
    if (!RLock()) throw 1;
  });
  TTzDbf data("parts");
  OpenOn(data, path);
  int calls = 0;
  data.OnRLockFailedOnPost = [&](TTzFileDataSet&, bool& retry) {
    ++calls;
    EXPECT_EQ(other->Finish(), 0);
    retry = true;
  };
  data.SetRecNo(2);
  data.PutFieldStr("NAME", "KEPT");
  data.Post();
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(Shown("Lock failed"));
  EXPECT_EQ(enginetest::Stored(1, 2), "KEPT      ");
}

TEST_F(dataset, RefusedAppendAndRecordLocksGoToTheirEventsOrTheirMessage) {
  const std::string path = MakeTable(3);
  TTzDbf data("parts");
  OpenOn(data, path);
  {
    OtherProcess holder(path, [] {
      GO(2);
      if (!RLock()) throw 1;
    });
    data.SetRecNo(2);
    data.Delete();
    EXPECT_TRUE(Shown("Lock failed [Delete]"));
    EXPECT_FALSE(data.RecordDeleted());
    EXPECT_EQ(holder.Finish(), 0);
  }
  auto other = std::make_unique<OtherProcess>(path, [] {
    if (!ALock()) throw 1;
  });
  int calls = 0;
  data.OnALockFailedOnInsert = [&](TTzFileDataSet&, bool& retry) {
    retry = ++calls == 1;
    if (retry) {
      EXPECT_EQ(other->Finish(), 0);
    }
  };
  data.Append();
  data.FieldByName("NAME").SetAsString("LATE");
  data.Post();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(data.RecordCount(), 4);
  EXPECT_EQ(enginetest::Stored(1, 4), "LATE      ");
}

TEST_F(dataset, AReadOnlyDatasetOpensWhileAnotherProgramHoldsTheTableShared) {
  const std::string path = MakeTable(2);
  OtherProcess other(path, [] {});
  TTzDbf data("parts");
  data.SetReadOnly(true);
  OpenOn(data, path);
  EXPECT_EQ(Area()->openMode, platform::kModeSharedRead);
  EXPECT_FALSE(data.CanModify());
  EXPECT_THROW(data.Edit(), EDatabaseError);
  EXPECT_EQ(ForcedOpenMode, 65535);
}

TEST_F(dataset, AMissingTableIsCreatedFromTheFieldDefinitions) {
  TTzDbf data("made");
  data.DbfFields = {"NAME,C,20,0", "SKIP,X,5,0", "AMOUNT,N,30,25", "NOTE,C,300,0"};
  OpenOn(data, Path("made"));
  EXPECT_EQ(data.DbfFileName(), Path("made.DBF"));
  ASSERT_EQ(data.FieldCount(), 3);
  EXPECT_EQ(data.Fields(1).Size(), 20);
  EXPECT_EQ(data.Fields(1).Decimals(), 18);
  EXPECT_EQ(data.Fields(2).Size(), 254);
  TTzDbf none("none");
  none.SetDbfFileName(Path("none"));
  EXPECT_THROW(none.Open(), EDatabaseError);
  EXPECT_TRUE(Shown("FieldList.Count is <= 0 trying to create a database"));
  TTzDbf unnamed("unnamed");
  try {
    unnamed.Open();
    ADD_FAILURE();
  } catch (const EDatabaseError& error) {
    EXPECT_STREQ(error.what(), "The FileName property of the dataset not set");
  }
}

TEST_F(dataset, StoredFieldDefinitionsAreCorrectedWithTheirMessage) {
  TDbfFieldProp prop{"BIG", 'N', 25, 24};
  const TDbfFieldProp before = prop;
  EXPECT_TRUE(NormalizeFieldProp(prop));
  EXPECT_EQ(prop.length, 20);
  EXPECT_EQ(prop.decimals, 18);
  EXPECT_EQ(InvalidFieldDefinitionText("tzdbf", before, prop),
            "Invalid field definition for tzdbf: BIG,N,25,24. Will use corrected definition: "
            "BIG,N,20,18");
  TDbfFieldProp blob{"PIC", 'G', 10, 0};
  EXPECT_TRUE(NormalizeFieldProp(blob));
  EXPECT_EQ(blob.type, 'M');
  TDbfFieldProp odd{"X", 'Q', 4, 0};
  EXPECT_TRUE(NormalizeFieldProp(odd));
  EXPECT_EQ(odd.type, 'C');
  TDbfFieldProp fine{"F", 'N', 10, 2};
  EXPECT_FALSE(NormalizeFieldProp(fine));
}

TEST_F(dataset, WithoutAnAreaAnOperationReports1103AndEndsSilently) {
  TTzDbf data("parts");
  OpenOn(data, MakeTable(1));
  Select(data.WorkArea());
  CloseArea();
  try {
    data.Refresh();
    ADD_FAILURE();
  } catch (const EDadavError& error) {
    EXPECT_NE(std::string(error.what()).find("Database is not open [parts.TziForceReread]"),
              std::string::npos);
  }
  SetReportErrors(false);
  EXPECT_THROW(data.Refresh(), EAbort);
  SetReportErrors(true);
}

platform::RegionalSettings German() {
  return {'.', ',', "dd.MM.yyyy"};
}
platform::RegionalSettings Iso() {
  return {'-', '.', "yyyy-MM-dd"};
}

TEST_F(dataset, RegionalSettingsChooseTheDatePictureCenturyAndDecimalCharacter) {
  SetRegionalSettingsQuery(&German);
  DatasetUnitStart();
  EXPECT_EQ(DateFormat, 5);
  EXPECT_TRUE(CenturyOn);
  EXPECT_EQ(DecimalChar, ',');
  SetRegionalSettingsQuery(&Iso);
  DatasetUnitStart();
  EXPECT_EQ(DateFormat, 1);
  EXPECT_EQ(DecimalChar, '.');
  SetRegionalSettingsQuery(nullptr);
  EXPECT_EQ(DatePictureOf({'-', '.', "dd-MM-yy"}), 3);
  EXPECT_EQ(DatePictureOf({'/', '.', "dd/MM/yy"}), 2);
  EXPECT_EQ(DatePictureOf({'/', '.', "MM/dd/yy"}), 0);
  const platform::RegionalSettings posix = platform::RegionalFromPosix("%d.%m.%Y", ',');
  EXPECT_EQ(posix.shortDateFormat, "dd.MM.yyyy");
  EXPECT_EQ(posix.dateSeparator, '.');
  EXPECT_EQ(posix.decimalChar, ',');
  EXPECT_EQ(platform::RegionalFromPosix("%D", '.').shortDateFormat, "MM/dd/yy");
  CenturyOn = false;
  SetDateFormat(0);
  DecimalChar = '.';
}

}  // namespace

namespace {

using namespace dadav;
using namespace accesstest;

class datasetindex : public AccessTest {
 protected:
  std::string MakeTable(int n) {
    const std::string path = Path("i.dbf");
    NewTable(path, {Def("NAME", 'C', 8), Def("QTY", 'N', 6)}, n, [n](int i) {
      SetText(1, "K" + std::to_string(n + 1 - i));
      SetInt32(2, i);
    });
    CloseAll();
    return path;
  }
};

TEST_F(datasetindex, AStaleIndexIsRebuiltUnderVerifyHeaderAndAFreshOneOnlyOpened) {
  const std::string path = MakeTable(3);
  {
    TTzDbf data("i");
    data.IndexList = {"1,NAME," + Path("i.ndx")};
    int builds = 0;
    data.OnAfterMakeIndex = [&](TTzFileDataSet&, const std::string&) { ++builds; };
    data.SetDbfFileName(path);
    data.Open();  // missing: built under ciNotFound
    EXPECT_EQ(builds, 1);
    EXPECT_FALSE(data.IsSequenced());
    EXPECT_EQ(data.FieldByName("NAME").AsString(), "K1");
    data.Close();
    data.CreateIndex = TCreateIndexType::ciVerifyHeader;
    data.Open();
    EXPECT_EQ(builds, 1);
    data.Append();
    data.FieldByName("NAME").SetAsString("K0");
    data.Post();
    data.Close();
  }
  // Another program appended without the index: its stored count is stale now.
  USE(path + " EXCLUSIVE");
  ClearRecord();
  SetText(1, "A9");
  dadav::Append();
  CloseAll();
  TTzDbf data("i");
  data.IndexList = {Path("i.ndx")};
  data.CreateIndex = TCreateIndexType::ciVerifyHeader;
  data.IndexList = {"1,NAME," + Path("i.ndx")};
  int builds = 0;
  data.OnAfterMakeIndex = [&](TTzFileDataSet&, const std::string&) { ++builds; };
  data.SetDbfFileName(path);
  data.Open();
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(data.FieldByName("NAME").AsString(), "A9");
}

TEST_F(datasetindex, FindSeeksTheControllingIndexAndLocateUsesIt) {
  TTzDbf data("i");
  data.SetDbfFileName(MakeTable(20));
  data.Open();
  data.IndexOn("NAME", Path("n.ndx"));
  EXPECT_TRUE(data.Find("K1"));
  EXPECT_EQ(data.FieldByName("NAME").AsString(), "K1");
  EXPECT_FALSE(data.FindExact("K"));
  EXPECT_TRUE(data.Find("K2"));
  EXPECT_EQ(data.RecNo(), 19);
  EXPECT_TRUE(data.Locate("NAME", {std::string("K15")}, {}));
  EXPECT_EQ(data.RecNo(), 6);
  data.SetIndexTo("");
  EXPECT_TRUE(data.IsSequenced());
}

}  // namespace

namespace {

using namespace dadav;
using namespace accesstest;

class datasetblob : public AccessTest {
 protected:
  void Open(TTzDbf& data) {
    const std::string path = Path("m.dbf");
    NewTable(path, {Def("NAME", 'C', 8), Def("NOTE", 'M', 10)}, 2);
    CloseAll();
    data.SetDbfFileName(path);
    data.Open();
  }
  std::string ReadAll(TTzDbf& data) {
    auto stream = data.CreateBlobStream(data.FieldByName("NOTE"), false);
    std::string text(static_cast<std::size_t>(stream->Size()), '\0');
    text.resize(static_cast<std::size_t>(stream->Read(text.data(), std::ssize(text))));
    return text;
  }
};

TEST_F(datasetblob, ABlobWrittenThroughAStreamReadsBackAfterThePost) {
  TTzDbf data("m");
  Open(data);
  {
    auto stream = data.CreateBlobStream(data.FieldByName("NOTE"), true);
    EXPECT_EQ(stream->Write("hello ", 6), 6);
    EXPECT_EQ(stream->Write("blob", 4), 4);
    EXPECT_TRUE(stream->Modified());
  }
  EXPECT_EQ(data.State(), TDataSetState::dsEdit);
  EXPECT_NE(data.FieldByName("NOTE").AsInteger(), 0);
  data.Post();
  data.Next();
  EXPECT_EQ(ReadAll(data), "");
  data.Prior();
  EXPECT_EQ(ReadAll(data), "hello blob");
}

TEST_F(datasetblob, AWriteStreamClosedUnwrittenEmptiesTheField) {
  TTzDbf data("m");
  Open(data);
  {
    auto stream = data.CreateBlobStream(data.FieldByName("NOTE"), true);
    stream->Write("kept?", 5);
  }
  data.Post();
  ASSERT_NE(data.FieldByName("NOTE").AsInteger(), 0);
  { auto stream = data.CreateBlobStream(data.FieldByName("NOTE"), true); }
  EXPECT_EQ(data.FieldByName("NOTE").AsInteger(), 0);
  data.Post();
  EXPECT_EQ(ReadAll(data), "");
  EXPECT_EQ(ParseFieldInt(enginetest::Stored(2, 1)), 0);
}

}  // namespace

namespace {

using namespace dadav;
using namespace accesstest;

class datasetfields : public AccessTest {};

TEST_F(datasetfields, TextsAreCheckedForTheFieldsType) {
  const std::string path = Path("f.dbf");
  NewTable(path, {Def("QTY", 'N', 11), Def("OK", 'L', 1), Def("PRICE", 'N', 8, 2)}, 1);
  CloseAll();
  TTzDbf data("f");
  data.SetDbfFileName(path);
  data.Open();
  data.Edit();
  TField& qty = data.FieldByName("QTY");
  qty.SetAsString(" -42 ");
  EXPECT_EQ(qty.AsInteger(), -42);
  for (const char* bad : {"4x", "+", "1.5", "99999999999999999999999"}) {
    EXPECT_THROW(qty.SetAsString(bad), EDatabaseError) << bad;
  }
  EXPECT_EQ(qty.AsInteger(), -42);
  TField& ok = data.FieldByName("OK");
  ok.SetAsString("yes");
  EXPECT_TRUE(ok.AsBoolean());
  EXPECT_EQ(ok.AsString(), "True");
  EXPECT_THROW(ok.SetAsString("maybe"), EDatabaseError);
  TField& price = data.FieldByName("PRICE");
  price.SetAsString("3.5");
  EXPECT_EQ(price.AsString(), "3.50");
  EXPECT_THROW(price.SetAsBoolean(true), EDatabaseError);
  data.Cancel();
  EXPECT_THROW(qty.SetAsInteger(1), EDatabaseError);  // not in edit state
}

}  // namespace
