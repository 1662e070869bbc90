#include <gtest/gtest.h>

#include "app/lang/menutexts.h"
#include "base/report/showtextfile.h"
#include "platform/headless/recordingservices.h"

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

}  // namespace
