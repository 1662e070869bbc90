#include "cad/drawings/titleblock.h"

#include <algorithm>

#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/utildate.h"
#include "base/text/utilstr.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"
#include "calc/revisionindex.h"

namespace {

constexpr int kShownChanges = 8;

bool iso_fig1() {
  return TitleBlockStandard == 1;
}

bool din_full() {
  return TitleBlockStandard == 3;
}

// A damaged count never reaches past the slots.
int change_count() {
  return std::min<int>(ChangeCount, kChangeSlotCount);
}

int first_shown_change() {
  return change_count() > kShownChanges ? change_count() - kShownChanges + 1 : 1;
}

int shown_changes() {
  return std::min(kShownChanges, change_count());
}

bool iso_changes_shown() {
  return ShowChanges && change_count() > 0;
}

void move_to_origin(std::int32_t size) {
  if (size != 3 && size != 4) return;
  const long double sheet = size == 3 ? 210 : 0;
  if (!IsoTitleBlock()) {
    cad_offset(size == 3 ? 227.8L : 17.9L, 5);
  } else if (SheetBorderCode != 0) {
    cad_offset(sheet + 20, 10);
  } else {
    cad_offset(sheet + 25, 5);
  }
}

void iso_name_and_number(const std::string& name, const std::string& name2,
                         const std::string& number) {
  cad_layer(5);
  cad_text_fit(2, number, 0, 3.5L, 2.8L, 48);
  cad_text(number, 130, 12);
  cad_text_fit(2, name, 0, 3.5L, 2.8L, 50);
  cad_text(name, 76, 8.5L);
  cad_layer(4);
  cad_text_fit(2, name2, 0, 2.5L, 1.8L, 50);
  cad_text(name2, 76, 2.5L);
}

void iso_label_style() {
  cad_text_style(2, 0, 1.6L, 1.3L);
}

void iso_value_style() {
  cad_layer(4);
  cad_text_style(2, 0, 2.5L, 1.8L);
}

// The revision, date of issue and language fields, alike in both ISO layouts.
void iso_issue_fields() {
  cad_text(CurrentRevisionText(), 130, 2);
  cad_text(TodayIsoText(), 138, 2);
  cad_text("en", 162, 2);
}

void iso_issue_labels() {
  cad_text(DiRev, 129, 6.5L);
  cad_text(DiDateOfIssue, 137, 6.5L);
  cad_text(DiLang, 161, 6.5L);
  cad_text(DiPage, 171, 6.5L);
}

void iso_issue_rules() {
  cad_line(128, 9, 180, 9);
  cad_line(136, 0, 136, 9);
  cad_line(160, 0, 160, 9);
  cad_line(170, 0, 170, 9);
}

void iso_fig2(const std::string& name, const std::string& name2, const std::string& number) {
  cad_layer(5);
  cad_rect(0, 0, 180, 36);
  cad_layer(3);
  cad_line(74, 0, 74, 36);
  cad_line(0, 27, 180, 27);
  cad_line(74, 18, 180, 18);
  cad_line(128, 0, 128, 27);
  iso_issue_rules();
  cad_line(31, 27, 31, 36);
  cad_line(116, 27, 116, 36);
  cad_line(158, 27, 158, 36);
  iso_label_style();
  cad_text(DiResponsibleDept, 1, 33.5L);
  cad_text(DiTechnicalReference, 32, 33.5L);
  cad_text(DiCreatedBy, 75, 33.5L);
  cad_text(DiApprovedBy, 117, 33.5L);
  cad_text(DiDocumentType, 75, 24.5L);
  cad_text(DiDocumentStatus, 129, 24.5L);
  cad_text(DiTitle + ", " + DiSupplementaryTitle, 75, 15.5L);
  iso_issue_labels();
  iso_name_and_number(name, name2, number);
  iso_value_style();
  cad_text(TitleBlockFields.ResponsibleDept, 2, 29);
  cad_text(TitleBlockFields.Rows[3].Name, 33, 29);
  cad_text(TitleBlockFields.Rows[1].Name, 76, 29);
  cad_text(TitleBlockFields.Rows[2].Name, 118, 29);
  iso_issue_fields();
  cad_text(TitleBlockFields.DocumentType, 76, 20);
  cad_text(TitleBlockFields.DocumentStatus, 130, 20);
}

void iso_fig1(const std::string& name, const std::string& name2, const std::string& number) {
  cad_layer(5);
  cad_rect(0, 0, 180, 27);
  cad_layer(3);
  cad_line(74, 0, 74, 27);
  cad_line(0, 18, 180, 18);
  cad_line(128, 0, 128, 18);
  iso_issue_rules();
  cad_line(31, 0, 31, 27);
  cad_line(135, 18, 135, 27);
  cad_line(31, 9, 74, 9);
  iso_label_style();
  cad_text(DiResponsibleDept, 1, 24.5L);
  cad_text(DiTechnicalReference, 32, 24.5L);
  cad_text(DiDocumentType, 75, 24.5L);
  cad_text(DiDocumentStatus, 136, 24.5L);
  cad_text(DiCreatedBy, 32, 15.5L);
  cad_text(DiTitle + ", " + DiSupplementaryTitle, 75, 15.5L);
  cad_text(DiApprovedBy, 32, 6.5L);
  iso_issue_labels();
  iso_name_and_number(name, name2, number);
  iso_value_style();
  cad_text(TitleBlockFields.Rows[1].Name, 33, 11);
  cad_text(TitleBlockFields.Rows[2].Name, 33, 2);
  cad_text(TitleBlockFields.ResponsibleDept, 2, 20);
  cad_text(TitleBlockFields.Rows[3].Name, 33, 20);
  cad_text(TitleBlockFields.DocumentType, 76, 20);
  cad_text(TitleBlockFields.DocumentStatus, 138, 20);
  iso_issue_fields();
}

void din_rules(long double height) {
  cad_layer(4);
  cad_line(0, 4.25L, 187.2L, 4.25L);
  cad_line(54.6L, 17, 187.2L, 17);
  if (din_full()) {
    cad_line(98.8L, 48.875L, 187.2L, 48.875L);
    cad_line(0, 38.25L, 187.2L, 38.25L);
  }
  cad_line(54.6L, 0, 54.6L, height);
  cad_line(98.8L, 0, 98.8L, height);
  cad_layer(3);
  cad_line(174.2L, 8.5L, 187.2L, 8.5L);
  cad_line(7.8L, 0, 7.8L, 38.25L);
  cad_line(33.8L, 0, 33.8L, 38.25L);
  cad_line(46.8L, 0, 46.8L, 38.25L);
  cad_line(65, 17, 65, 38.25L);
  cad_line(143, 0, 143, 4.25L);
  cad_line(80.6L, 17, 80.6L, din_full() ? 55.25L : 38.25L);
  if (din_full()) cad_line(150.8L, 48.875L, 150.8L, 55.25L);
  cad_line(174.2L, 4.25L, 174.2L, 17);
  for (int k = 2; k <= 8; ++k) cad_line(0, 4.25L * k, 54.6L, 4.25L * k);
  for (int k = 5; k <= 8; ++k) cad_line(54.6L, 4.25L * k, 98.8L, 4.25L * k);
}

void din_date_name_rows() {
  cad_text_style(2, 0, 1.8L, 1.5L);
  cad_text(DiDate, 66, 35);
  cad_text(DiName, 81.6L, 35);
  cad_text(DiCompl, 55.6L, 30.75L);
  cad_text(DiCheck, 55.6L, 26.5L);
  cad_text(DiStand, 55.6L, 22.25L);
  cad_text(ApprovalFieldText, 55.6L, 18);
  const long double row_y[] = {30.75L, 26.5L, 22.25L, 18};
  for (int row = 1; row <= 4; ++row) {
    cad_text(TitleBlockFields.Rows[row].Date, 66, row_y[row - 1]);
    cad_text(TitleBlockFields.Rows[row].Name, 81.6L, row_y[row - 1]);
  }
  if (!TitleBlockFields.ReplacementFor.empty())
    cad_text(DiReplacementFor + " " + TitleBlockFields.ReplacementFor, 99.8L, 1);
  if (!TitleBlockFields.ReplacedBy.empty())
    cad_text(DiReplacedBy + " " + TitleBlockFields.ReplacedBy, 144, 1);
}

void din_change_rows() {
  if (change_count() == 0) return;
  cad_text_style(2, 0, 1.7L, 1.3L);
  cad_layer(3);
  const int first = first_shown_change();
  for (int i = first; i <= change_count(); ++i) {
    const long double y = 4.25L * (i - first + 1) + 1;
    const ChangeEntry& entry = ChangeEntries[i];
    cad_text(RevisionIndexText(RevisionIndexStyle, i), 1, y);
    cad_text(entry.ChangeText, 8.8L, y);
    cad_text(entry.ChangeDate, 34.8L, y);
    cad_text(entry.Editor, 47.8L, y);
  }
}

void din_6771(const std::string& name, const std::string& name2, const std::string& number) {
  const long double height = din_full() ? 55.25L : 38.25L;
  cad_layer(5);
  cad_rect(0, 0, 187.2L, height);
  din_rules(height);
  cad_text_style(2, 0, 1.6L, 1.3L);
  cad_text(DiCond, 1, 1);
  cad_text(DiModification, 8.8L, 1);
  cad_text(DiDate, 34.8L, 1);
  cad_text(DiName, 47.8L, 1);
  din_date_name_rows();
  din_change_rows();
  cad_layer(5);
  cad_text_fit(2, name, 0, 5, 4, 84);
  cad_text(name, 100.8L, 28.625L);
  cad_text_fit(2, number, 0, 5, 4, 71);
  cad_text(number, 100.8L, 7.375L);
  cad_layer(4);
  cad_text_fit(2, name2, 0, 3.5L, 2.8L, 84);
  cad_text(name2, 100.8L, 20.125L);
}

bool user_block_target() {
  return CadTarget == kCadScreen || CadTarget == kCadPlot;
}

// A user's block is placed only when its file lies in the temporary folder.
void insert_user_block(const std::string& name, long double x, long double y, long double sx,
                       long double sy) {
  if (FileThere(AddBackslash(TempDir) + "$" + name + ".dx$")) {
    cad_insert_offset(name, x, y, 0, sx, sy);
  }
}

void insert_logo() {
  cad_layer(5);
  if (!user_block_target()) return;
  if (!IsoTitleBlock()) {
    insert_user_block("logo_1", 57, 5, 1, 1);
  } else if (iso_fig1()) {
    insert_user_block("logo_1", 2, 4, 0.7L, 0.9L);
  } else {
    insert_user_block("logo_1", 3, 4, 1.75L, 1.75L);
  }
}

long double change_rows_height() {
  return iso_changes_shown() ? 3.5L * (shown_changes() + 1) : 0;
}

long double head_block_height() {
  if (!IsoTitleBlock()) return din_full() ? 27.625L : 19.125L;
  return (iso_fig1() ? 27 : 36) + change_rows_height();
}

// "head_0" and "insert_0" on every sheet, then the one of the sheet size.
void insert_user_blocks(const std::string& kind, std::int32_t size, long double y) {
  insert_user_block(kind + "_0", 0, y, 1, 1);
  if (size == 4) insert_user_block(kind + "_4", 0, y, 1, 1);
  if (size == 3) insert_user_block(kind + "_3", 0, y, 1, 1);
}

}  // namespace

bool IsoTitleBlock() {
  return TitleBlockStandard == 1 || TitleBlockStandard == 2;
}

std::string CurrentRevisionText() {
  if (!RevisionFromZero) return RevisionIndexText(2, ChangeCount + 1);
  return ChangeCount == 0 ? " " : RevisionIndexText(RevisionIndexStyle, ChangeCount);
}

void DrawIsoChangeTable() {
  const long double base = iso_fig1() ? 27 : 36;
  const long double row = 3.5L;
  const int n = shown_changes();
  cad_layer(3);
  for (int k = 1; k <= n + 1; ++k) cad_line(0, base + row * k, 180, base + row * k);
  for (long double x : {0.0L, 8.0L, 25.0L, 40.0L, 70.0L}) cad_vline(x, base, row * (n + 1));
  cad_text_style(2, 0, row / 2, row * 3 / 8);
  cad_layer(3);
  const long double inset = 0.9L;
  cad_text(DiIndex, 1, base + inset);
  cad_text(DiDate, 9, base + inset);
  cad_text(DiName, 26, base + inset);
  cad_text(DiModification, 41, base + inset);
  cad_text(DiDescription, 71, base + inset);
  const int first = first_shown_change();
  for (int i = first; i <= change_count(); ++i) {
    const long double y = base + row * (i - first + 1) + inset;
    const ChangeEntry& entry = ChangeEntries[i];
    cad_text(RevisionIndexText(RevisionIndexStyle, i), 1, y);
    cad_text(entry.ChangeDate, 9, y);
    cad_text(entry.Editor, 26, y);
    cad_text(entry.ChangeText, 41, y);
    cad_text(NoLineBreaks(entry.Description), 71, y);
  }
}

void DrawTitleBlock(std::int32_t size, const std::string& name, const std::string& name2,
                    const std::string& number) {
  move_to_origin(size);
  if (TitleBlockStandard == 2) {
    iso_fig2(name, name2, number);
  } else if (iso_fig1()) {
    iso_fig1(name, name2, number);
  } else {
    din_6771(name, name2, number);
  }
  if (IsoTitleBlock() && iso_changes_shown()) DrawIsoChangeTable();
  if (!HideLogo) insert_logo();
  if (UseHeadBlocks && user_block_target()) insert_user_blocks("head", size, head_block_height());
  if (UseInsertBlocks && user_block_target()) insert_user_blocks("insert", size, 0);
  cad_offset(0, 0);
}
