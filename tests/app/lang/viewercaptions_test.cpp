#include <gtest/gtest.h>

#include "app/lang/menutexts.h"
#include "base/report/showtextfile.h"
#include "platform/headless/recordingservices.h"
#include "tables/access/dbf4.h"

namespace {

TEST(viewer_captions, FollowTheMenuLanguage) {
  const platform::RecordedViewer viewer;
  SetMenuTexts(1);
  ShowTextFileViewer("r.txt");
  SetMenuTexts(5);  // Swedish keeps the German Copy
  ShowTextFileViewer("r.txt");
  EXPECT_EQ(platform::TaggedToUtf8(viewer->shown[0].menus.copy), "Kopieren");
  EXPECT_EQ(platform::TaggedToUtf8(viewer->shown[1].menus.copy), "Kopieren");
  EXPECT_EQ(platform::TaggedToUtf8(viewer->shown[1].menus.file), "&Arkiv");
  EXPECT_EQ(platform::TaggedToUtf8(viewer->shown[1].menus.exportEditor), "Export &Notepad");
  SetMenuTexts(2);
}

TEST(viewer_captions, TheTableFormTakesTheMenuLanguage) {
  SetMenuTexts(1);
  const dadav::Dbf4MenuCaptions german = dadav::Dbf4MenuCaptionSource();
  SetMenuTexts(8);
  const dadav::Dbf4MenuCaptions korean = dadav::Dbf4MenuCaptionSource();
  SetMenuTexts(2);
  EXPECT_EQ(platform::TaggedToUtf8(german.file), "&Datei");
  EXPECT_EQ(platform::TaggedToUtf8(german.exit), "&Beenden");
  EXPECT_EQ(platform::TaggedToUtf8(korean.help), "\xEB\x8F\x84\xEC\x9B\x80\xEB\xA7\x90(&H)");
  EXPECT_EQ(platform::TaggedToUtf8(dadav::Dbf4MenuCaptionSource().exit), "E&xit");
}

}  // namespace
