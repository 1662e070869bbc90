#include "app/docs/drawinginfoform.h"

#include <cmath>
#include <optional>

#include "app/docs/formbuttons.h"
#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utildate.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadvar.h"
#include "calc/calcfileformat.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "platform/ui/forms.h"

namespace {

using platform::StringGrid;

// Title blocks 0 and 3 are DIN 6771; the others ISO 7200, which has three date/name rows, no
// replacement texts and three fields of its own.
bool IsoLayout() {
  return TitleBlockStandard != 0 && TitleBlockStandard != 3;
}

// The drawing-text grid's columns after the row number.
enum TextColumn { kX = 1, kY, kH, kPhi, kText, kLayer };

class TForm_zeichInfo final : public platform::Form {
 public:
  TForm_zeichInfo()
      : platform::Form("TForm_zeichInfo",
                       ToDisplayText(DiInfoDrawing) + (IsoLayout() ? " ISO 7200" : " DIN 6771"),
                       {560, 480}) {
    AddReplacementFields();
    AddTitleRows();
    AddIsoFields();
    AddDrawingTexts();
    AddOkCancelHelp(*this, "&Help", 3010);
    auto& ok = Get<platform::Button>("Button_ok");
    ok.SetModalResult(platform::ModalResult::None);
    ok.onClick = [this] {
      if (DrawingTextNumbersValid()) SetModalResult(platform::ModalResult::Ok);
    };
  }

  // A text the user left as shown keeps its stored bytes.
  void Store() const {
    TitleBlockFieldSet& fields = TitleBlockFields;
    Keep(Get<platform::Edit>("Edit_ersatzfuer").Text(), fields.ReplacementFor);
    Keep(Get<platform::Edit>("Edit_ersetztdurch").Text(), fields.ReplacedBy);
    // The ISO grid has no fourth row: its cells read empty.
    const StringGrid& rows = Get<StringGrid>("StringGrid1");
    for (int row = 1; row <= 4; ++row) {
      Keep(rows.Cell(1, row), fields.Rows[row].Date);
      Keep(rows.Cell(2, row), fields.Rows[row].Name);
    }
    StoreDrawingTexts();
    DrawingTextMode = Get<platform::ComboBox>("ComboBox_zeichtextmode").ItemIndex();
    if (IsoLayout()) {
      const StringGrid& iso = Get<StringGrid>("StringGrid3");
      Keep(iso.Cell(1, 1), fields.ResponsibleDept);
      Keep(iso.Cell(1, 2), fields.DocumentType);
      Keep(iso.Cell(1, 3), fields.DocumentStatus);
    }
  }

 private:
  // The text of a control filled with the stored text, back into it.
  static void Keep(const std::string& shown, std::string& stored) {
    stored = StoredAfterEdit(shown, stored);
  }

  void AddReplacementFields() {
    const bool shown = !IsoLayout();
    auto& forLabel = Add<platform::Label>("Label_ersatz_fuer");
    forLabel.SetCaption(ToDisplayText(DiReplacementFor));
    forLabel.SetVisible(shown);
    auto& forEdit = Add<platform::Edit>("Edit_ersatzfuer");
    forEdit.SetMaxLength(15);
    forEdit.SetText(ToDisplayText(TitleBlockFields.ReplacementFor));
    forEdit.SetVisible(shown);
    auto& byLabel = Add<platform::Label>("Label_ersetzt_durch");
    byLabel.SetCaption(ToDisplayText(DiReplacedBy));
    byLabel.SetVisible(shown);
    auto& byEdit = Add<platform::Edit>("Edit_ersetztdurch");
    byEdit.SetMaxLength(15);
    byEdit.SetText(ToDisplayText(TitleBlockFields.ReplacedBy));
    byEdit.SetVisible(shown);
  }

  void AddTitleRows() {
    auto& grid = Add<StringGrid>("StringGrid1");
    grid.SetEditable(true);
    grid.SetFixed(1, 1);
    const int rowCount = IsoLayout() ? 3 : 4;
    grid.SetSize(3, rowCount + 1);
    const bool iso = IsoLayout();
    grid.SetCell(1, 0, ToDisplayText(iso ? " (" + DiDate + ")" : DiDate));
    grid.SetCell(2, 0, ToDisplayText(DiName));
    const std::string labels[4] = {iso ? DiCreatedBy : DiCompl, iso ? DiApprovedBy : DiCheck,
                                   iso ? DiTechnicalReference : DiStand, ApprovalFieldText};
    const int widths[3] = {iso ? 128 : 64, 64, iso ? 128 : 64};
    for (int col = 0; col < 3; ++col) grid.SetColWidth(col, ScaleSize(widths[col]));
    for (int row = 1; row <= rowCount; ++row) {
      grid.SetCell(0, row, ToDisplayText(labels[row - 1]));
      grid.SetCell(1, row, ToDisplayText(TitleBlockFields.Rows[row].Date));
      grid.SetCell(2, row, ToDisplayText(TitleBlockFields.Rows[row].Name));
    }
    for (int row = 1; row <= 4; ++row) {
      auto& today = Add<platform::Button>("Button" + IntText(row));
      today.SetCaption("< " + ToDisplayText(TodayText()));
      today.SetVisible(!iso);
      today.onClick = [&grid, row] { grid.SetCell(1, row, ToDisplayText(TodayText())); };
    }
  }

  void AddIsoFields() {
    auto& grid = Add<StringGrid>("StringGrid3");
    grid.SetEditable(true);
    grid.SetFixed(1, 1);
    grid.SetSize(2, 4);
    for (int col = 0; col < 2; ++col) grid.SetColWidth(col, ScaleSize(128));
    const std::string labels[3] = {DiResponsibleDept, DiDocumentType, DiDocumentStatus};
    const std::string values[3] = {TitleBlockFields.ResponsibleDept, TitleBlockFields.DocumentType,
                                   TitleBlockFields.DocumentStatus};
    for (int row = 1; row <= 3; ++row) {
      grid.SetCell(0, row, ToDisplayText(labels[row - 1]));
      grid.SetCell(1, row, ToDisplayText(values[row - 1]));
    }
    grid.SetVisible(IsoLayout());
  }

  void AddDrawingTexts() {
    auto& grid = Add<StringGrid>("StringGrid2");
    grid.SetEditable(true);
    grid.SetFixed(1, 1);
    grid.SetSize(7, kDrawingTextSlotCount + 1);
    for (int col = 0; col < 7; ++col) grid.SetColWidth(col, ScaleSize(col == kText ? 320 : 32));
    const char* heads[] = {"x", "y", "h", "phi", "Text", "Layer"};
    for (int col = kX; col <= kLayer; ++col) grid.SetCell(col, 0, heads[col - 1]);
    for (int row = 1; row <= kDrawingTextSlotCount; ++row) grid.SetCell(0, row, IntText(row));
    for (int row = 1; row <= DrawingTextCount && row <= kDrawingTextSlotCount; ++row) {
      for (int col = kX; col <= kLayer; ++col) grid.SetCell(col, row, ShownCell(col, row));
    }
    auto& mode = Add<platform::ComboBox>("ComboBox_zeichtextmode");
    mode.SetItems({"A4", "A3", "A4+A3", "-"});
    mode.SetItemIndex(DrawingTextMode);
    std::string hint;
    HelpHint(3020, hint);
    mode.SetHint(hint);
    mode.onChange = [&mode, &grid] { grid.SetVisible(mode.ItemIndex() != kDrawingTextsNone); };
  }

  // What a cell of the drawing texts showed when the form opened.
  static std::string ShownCell(int col, int row) {
    if (row > DrawingTextCount) return "";
    const DrawingTextRecord& text = DrawingTextRecords[row];
    switch (col) {
      case kX:
        return RealText(text.x);
      case kY:
        return RealText(text.y);
      case kH:
        return RealText(text.h);
      case kPhi:
        return RealText(text.phi);
      case kText:
        return ToDisplayText(text.Text);
      default:
        return IntText(text.Layer);
    }
  }

  // Every number cell of the drawing texts holds a number the calculation file keeps; the first
  // that does not is refused with the range message and shows what it showed at the opening.
  bool DrawingTextNumbersValid() {
    StringGrid& grid = Get<StringGrid>("StringGrid2");
    for (int row = 1; row <= kDrawingTextSlotCount; ++row) {
      for (int col : {kX, kY, kH, kPhi}) {
        const std::optional<long double> value = TypedReal(grid.Cell(col, row));
        if (value && std::fabs(*value) <= kLargestInput) continue;
        ShowRangeError(RealText(-kLargestInput), RealText(kLargestInput));
        return RefuseCell(grid, col, row);
      }
      if (TypedInt(grid.Cell(kLayer, row))) continue;
      ShowInt32RangeError();
      return RefuseCell(grid, kLayer, row);
    }
    return true;
  }

  static bool RefuseCell(StringGrid& grid, int col, int row) {
    grid.SetCell(col, row, ShownCell(col, row));
    grid.SetCurrent(col, row);
    grid.SetFocus();
    return false;
  }

  // Row 1 is always read; the list ends before the first later row without text. Rows beyond the
  // stored count were shown empty, whatever their slots still hold.
  void StoreDrawingTexts() const {
    const StringGrid& grid = Get<StringGrid>("StringGrid2");
    int row = 1;
    for (;;) {
      const std::string shownFrom = row <= DrawingTextCount ? DrawingTextRecords[row].Text : "";
      const auto number = [&grid, row](int col) {
        return TypedReal(grid.Cell(col, row)).value_or(0);
      };
      DrawingTextRecords[row] = {number(kX),
                                 number(kY),
                                 number(kH),
                                 number(kPhi),
                                 StoredAfterEdit(grid.Cell(kText, row), shownFrom),
                                 TypedInt(grid.Cell(kLayer, row)).value_or(0)};
      if (row == kDrawingTextSlotCount || NoBlanks(grid.Cell(kText, row + 1)).empty()) break;
      ++row;
    }
    DrawingTextCount = static_cast<std::uint16_t>(row);
  }
};

}  // namespace

void ShowDrawingInfo() {
  TForm_zeichInfo form;
  CenterOnDrawWindow(form.Placement());
  const bool ok = form.ShowModal() == platform::ModalResult::Ok;
  if (ok) {
    form.Store();
    Modified = 1;
  }
  AbortFlag = ok ? 0 : 1;
}
