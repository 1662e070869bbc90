// The print form: captions, the presets by the kind of drawing, the settings it stores, the page
// it prints, fit limits and the border line, Cancel, refused scales, a job that fails, the PDF
// writer and the choice of the printer.
#include <sstream>

#include "base/draw/brelgraf.h"
#include "base/help/helptext.h"
#include "base/text/numbertext.h"
#include "printtest.h"

namespace {

using platform::Form;
using platform::ModalResult;
using platform::PageOrientation;

class drawprint_form : public PrintTest {
 protected:
  using Point = platform::Point;

  void SetUp() override {
    PrintTest::SetUp();
    window_.Header(0, 0, 100, 100);
    window_.line(10, 20, 90, 80);
  }

  // Whether the printed page moved to a and drew a line to b.
  bool PrintedLine(Point a, Point b) const {
    const std::vector<std::string>& calls = Job().Page().Calls();
    for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
      if (calls[i] == "move_to " + Text(a) && calls[i + 1].rfind("line_to " + Text(b), 0) == 0)
        return true;
    }
    return false;
  }
  // Where the printout puts a point of the world, with the state the window has now.
  Point Mapped(long double x, long double y) const {
    constexpr std::int32_t dpi = platform::RecordingPrinterDocument::kDpi;
    const PageGeometry page{Job().Page().GetSize(), {dpi, dpi}};
    return {WorldToPrinterX(x, page), WorldToPrinterY(y, page)};
  }
  static std::string Text(Point p) { return IntText(p.x) + "," + IntText(p.y); }
  using PrintTest::Text;
};

TEST_F(drawprint_form, CaptionsAndThePresetOfEachSheetKind) {
  ScreendumpScale = 0.9428;
  PrintScaleVertical = 1.25;
  ScreendumpOrigin[0] = 5;
  ScreendumpOrigin[1] = -7;
  ScreendumpBorder = 1;
  PrinterOrientation = 2;
  for (std::uint16_t kind : std::initializer_list<std::uint16_t>{0, 1, 3}) {
    SheetKind = kind;
    TForm_printconf form;
    EXPECT_EQ(form.Caption(), "Printout");
    EXPECT_EQ(Text(form, "Edit_scalex"), RealText(0.9428L)) << kind;
    EXPECT_EQ(Text(form, "Edit_scaley"), "1.25");
    EXPECT_EQ(Text(form, "Edit_xorigin"), "5");
    EXPECT_EQ(Text(form, "Edit_yorigin"), "-7");
    EXPECT_TRUE(Checked(form, "CheckBox_umrandung"));
    EXPECT_EQ(Index(form, "RadioGroup_hochquer"), 1);
    EXPECT_EQ(PrintScaleX, 0.9428);
    EXPECT_EQ(form.PrinterInfoMode, 0);
  }
  TForm_printconf form;
  EXPECT_EQ(form.Get<platform::RadioGroup>("RadioGroup_printmono").Items()[1],
            "Color / grey-scale");
  EXPECT_EQ(form.Get<platform::Button>("Button_append").Caption(), "&Apply Database");
  EXPECT_EQ(form.Get<platform::Button>("Button_printer").Caption(), "Printer...");
  EXPECT_EQ(form.Get<platform::Label>("Label_scalex").Caption(), "Scale x");

  // The A4 sheet true to scale, its trim on the page's edges.
  SheetKind = 2;
  { TForm_printconf a4; }
  EXPECT_EQ(PrintScaleX, 1.0);
  EXPECT_EQ(PrintScaleY, 1.0);
  EXPECT_EQ(PrintOriginX, -5);
  EXPECT_EQ(PrintOriginY, -10);
  EXPECT_EQ(PrintBorder, 0);
  EXPECT_EQ(PrintOrientation, 1);
  SheetKind = 8;
  { TForm_printconf eight; }
  EXPECT_EQ(PrintOriginY, -7);
  PrintScaleX = 2.5;
  PrintOriginX = 11;
  PrintOrientation = 2;
  SheetKind = 5;
  TForm_printconf other;
  EXPECT_EQ(PrintScaleX, 2.5);
  EXPECT_EQ(Text(other, "Edit_scalex"), "2.5");
  EXPECT_EQ(Text(other, "Edit_xorigin"), "11");
  EXPECT_EQ(Index(other, "RadioGroup_hochquer"), 1);
}

TEST_F(drawprint_form, RadioValuesOutsideTheirItemsChooseNoneAndSurviveOk) {
  SheetKind = 5;
  WinPrintMode = 3;
  PrintOrientation = 0;
  EXPECT_EQ(Show([](Form& form) {
              EXPECT_EQ(Index(form, "RadioGroup_printmono"), -1);
              EXPECT_EQ(Index(form, "RadioGroup_hochquer"), -1);
              Press(form, "Button_ok");
            }),
            ModalResult::Ok);
  EXPECT_EQ(WinPrintMode, 3);
  EXPECT_EQ(PrintOrientation, 0);
  EXPECT_EQ(Job().Page().GetSize().width, 7016);  // anything but portrait prints across
}

TEST_F(drawprint_form, ThePrinterLabelAndTheJobTitleOnlyWhenPrinterNamesAreWanted) {
  printers_->AddPrinter(Printer("Office"));
  Show([](Form& form) {
    EXPECT_EQ(form.Get<platform::Label>("Label_printer").Caption(),
              std::string(34, ' ') + "Office");
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(printers_->JobTitle(), "p3g60");

  printers_->SetJobTitle("");
  NoPrinterQuery = 1;
  Show([](Form& form) {
    EXPECT_EQ(form.Get<platform::Label>("Label_printer").Caption(), "");
    Press(form, "Button_cancel");
  });
  NoPrinterQuery = 0;
  Show(
      [](Form& form) {
        EXPECT_EQ(form.Get<platform::Label>("Label_printer").Caption(), "");
        Press(form, "Button_cancel");
      },
      1);
  EXPECT_EQ(printers_->JobTitle(), "");
}

TEST_F(drawprint_form, OkPrintsOnePageWithTheSettingsTyped) {
  SheetKind = 5;
  EXPECT_EQ(Show([](Form& form) {
              EditOf(form, "Edit_scalex").TypeText("1,5");
              EditOf(form, "Edit_scaley").TypeText("0.5");
              EditOf(form, "Edit_xorigin").TypeText("10");
              EditOf(form, "Edit_yorigin").TypeText("4");
              form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(1);
              form.Get<platform::RadioGroup>("RadioGroup_printmono").Choose(0);
              Press(form, "Button_ok");
            }),
            ModalResult::Ok);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(PrintScaleX, 1.5);
  EXPECT_EQ(PrintScaleY, 0.5);
  EXPECT_EQ(PrintOriginX, 10);
  EXPECT_EQ(PrintOriginY, 4);
  EXPECT_EQ(PrintOrientation, 2);
  EXPECT_EQ(WinPrintMode, 1);
  EXPECT_EQ(Printing, 0);
  EXPECT_EQ(Job().JobsBegun(), 1);
  EXPECT_EQ(Job().PagesEnded(), 1);
  const platform::Size page = Job().Page().GetSize();
  EXPECT_EQ(page.width, 7016);
  EXPECT_TRUE(PrintedLine(Mapped(10, 20), Mapped(90, 80)));
}

TEST_F(drawprint_form, AScaleFilledFromASettingPrintsWithItsExactValue) {
  ScreendumpScale = 0.9428;
  PrintScaleVertical = 1.0 / 3;
  SheetKind = 0;
  Show([](Form& form) { Press(form, "Button_ok"); });
  EXPECT_EQ(PrintScaleX, 0.9428);
  EXPECT_EQ(PrintScaleY, 1.0 / 3);
}

TEST_F(drawprint_form, FitLimitsPrintsTheWholeDrawingWithItsBorderLine) {
  SheetKind = 5;
  window_.SetScale(100, 100, 300, 250);  // zoomed in
  Show([](Form& form) {
    form.Get<platform::CheckBox>("CheckBox_anpassen").Click();
    form.Get<platform::CheckBox>("CheckBox_umrandung").Click();
    Press(form, "Button_ok");
  });
  ASSERT_EQ(Job().PagesEnded(), 1);
  EXPECT_EQ(PrintBorder, 1);
  window_.RestoreLimit();
  window_.ResetZoom();
  EXPECT_TRUE(PrintedLine(Mapped(10, 20), Mapped(90, 80)));
  // The border line goes round the drawing's world window before anything else.
  const std::vector<std::string>& calls = Job().Page().Calls();
  std::vector<std::string> frame;
  for (const std::string& call : calls) {
    if (call.rfind("move_to", 0) == 0 || call.rfind("line_to", 0) == 0) frame.push_back(call);
    if (frame.size() == 5) break;
  }
  ASSERT_EQ(frame.size(), 5u);
  EXPECT_EQ(frame[0], "move_to " + Text(Mapped(0, 0)));
  EXPECT_EQ(frame[2], "line_to " + Text(Mapped(100, 100)));
  EXPECT_NE(Mapped(100, 100).x, Mapped(1, 1).x);
}

TEST_F(drawprint_form, CancelAndTheCloseBoxPrintNothing) {
  SheetKind = 2;
  EXPECT_EQ(Show([](Form& form) {
              EditOf(form, "Edit_scalex").TypeText("3");
              Press(form, "Button_cancel");
            }),
            ModalResult::Cancel);
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  EXPECT_EQ(Show([](Form& form) { EditOf(form, "Edit_scalex").TypeText("3"); }),
            ModalResult::Cancel);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Job().JobsBegun(), 0);
  EXPECT_EQ(PrintScaleX, 1.0);  // as preset
}

TEST_F(drawprint_form, AScaleNotAboveZeroIsRefusedAndTheFormStaysOpen) {
  SheetKind = 5;
  for (const char* typed : {"0", "-1", "abc"}) {
    Show([typed](Form& form) {
      EditOf(form, "Edit_scaley").TypeText(typed);
      Press(form, "Button_ok");
      EXPECT_EQ(form.GetModalResult(), ModalResult::None);
      EXPECT_EQ(form.FocusedControl(), &EditOf(form, "Edit_scaley"));
      Press(form, "Button_append");
      EXPECT_EQ(form.GetModalResult(), ModalResult::None);
      Press(form, "Button_cancel");
    });
    EXPECT_EQ(Boxes(std::string("Scale y: ") + typed), 2) << typed;
  }
  EXPECT_EQ(Job().JobsBegun(), 0);
  EXPECT_EQ(PrintScaleY, 1.0);
  EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
}

TEST_F(drawprint_form, AnOriginThatIsNoWholeNumberIsRefusedAndShownAsBefore) {
  SheetKind = 5;
  std::string before, after;
  Show([&](Form& form) {
    before = Text(form, "Edit_yorigin");
    EditOf(form, "Edit_yorigin").TypeText("4.5");
    Press(form, "Button_ok");
    after = Text(form, "Edit_yorigin");
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(after, before);
  EXPECT_EQ(Boxes("Valid Data are: -2147483648 .. 2147483647 !"), 1);
  EXPECT_EQ(Job().JobsBegun(), 0);
}

TEST_F(drawprint_form, AJobThatCannotBeginIsAWriteError) {
  SheetKind = 5;
  Job().failBegin = true;
  EXPECT_EQ(Show([](Form& form) { Press(form, "Button_ok"); }), ModalResult::Ok);
  EXPECT_EQ(Boxes("file write error"), 1);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Printing, 0);
  EXPECT_EQ(Job().PagesEnded(), 0);
}

TEST_F(drawprint_form, AJobThatCannotEndLeavesNoPdf) {
  SheetKind = 5;
  Put("p3g60_drawing.pdf", "%PDF partial");
  Job().failEnd = true;
  Show([](Form& form) { Press(form, "Button_ok"); });
  EXPECT_EQ(Boxes("file write error"), 1);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(std::filesystem::exists(Path("p3g60_drawing.pdf")));
}

TEST_F(drawprint_form, ThePdfWriterWritesBesideTheCalculationFileAndSaysSo) {
  SheetKind = 5;
  Show([](Form& form) {
    EXPECT_EQ(form.Get<platform::Label>("Label_printer").Caption().substr(0, 5), "PDF: ");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(printers_->PdfFile(), Path("p3g60_drawing.pdf"));
  EXPECT_EQ(Boxes("PDF: " + Path("p3g60_drawing.pdf")), 1);
  CurrentFile = "";
  ShortName = "kv6";
  Show([](Form& form) { Press(form, "Button_ok"); });
  EXPECT_EQ(printers_->PdfFile(), Path("kv6_drawing.pdf"));
}

TEST_F(drawprint_form, ThePrinterButtonChoosesForTheRestOfTheRun) {
  printers_->AddPrinter(Printer("Office"));
  printers_->AddPrinter(Printer("Plotter room"));
  Show([this](Form& form) {
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::List).Select(1));
    Press(form, "Button_printer");
    EXPECT_EQ(form.Get<platform::Label>("Label_printer").Caption(),
              std::string(28, ' ') + "Plotter room");
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::List)
                         .Closing(platform::DialogClose::Cancel));
    AbortFlag = 0;
    Press(form, "Button_printer");
    EXPECT_EQ(AbortFlag, 0);
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(printers_->CurrentName(), "Plotter room");
  EXPECT_FALSE(dialogs_->Failed());
}

TEST_F(drawprint_form, HelpShowsItsText) {
  PltDir = DataPath("");
  Show([](Form& form) {
    Press(form, "Button_help");
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(Boxes("Printing the drawing: choose a stored print setup"), 1);
}

}  // namespace
