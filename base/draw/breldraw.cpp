#include "base/draw/breldraw.h"

#include <cmath>
#include <utility>

#include "base/draw/brelgraf.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "base/text/utilmath.h"
#include "base/text/utilstr.h"
#include "platform/ui/dialog.h"

TDrawer* Drawer = nullptr;

TDrawer::TDrawer() {
  DisplayList.clear();
  if (Drawer == nullptr) Drawer = this;
}

TDrawer::~TDrawer() {
  DisplayList.clear();
  if (Drawer == this) Drawer = nullptr;
}

void TDrawer::grClear() {
  if (DrawWindow != nullptr) DrawWindow->Clear();
}

void TDrawer::grSetWindow(bool keepAspect, bool inset, long double vx1, long double vy1,
                          long double vx2, long double vy2, long double xmin, long double ymin,
                          long double xmax, long double ymax) {
  if (DrawWindow != nullptr) {
    DrawWindow->SetWindow(keepAspect, inset, vx1, vy1, vx2, vy2, xmin, ymin, xmax, ymax);
  }
}

void TDrawer::grCircle(long double x, long double y, long double r) {
  if (DrawWindow != nullptr) DrawWindow->circle(x, y, r);
}

void TDrawer::grLine(long double x1, long double y1, long double x2, long double y2) {
  if (DrawWindow != nullptr) DrawWindow->line(x1, y1, x2, y2);
}

void TDrawer::grArc(long double xc, long double yc, long double a1, long double a2, long double r,
                    long double sweep) {
  if (DrawWindow != nullptr) DrawWindow->Arc(xc, yc, a1, a2, r, sweep);
}

void TDrawer::grOutTextXY(long double x, long double y, std::string_view text) {
  if (DrawWindow != nullptr) DrawWindow->OutTextXY(x, y, ToDisplayText(std::string(text)));
}

void TDrawer::grSetColor(std::int32_t colour) {
  if (DrawWindow != nullptr) DrawWindow->SetColor(colour);
}

void TDrawer::grMessage(const std::string& text) {
  platform::Dialogs().ShowBox({platform::ApplicationTitle(), text, platform::MessageButtons::Ok});
}

void TDrawer::grHeader(long double xmin, long double ymin, long double xmax, long double ymax) {
  if (DrawWindow != nullptr) DrawWindow->Header(xmin, ymin, xmax, ymax);
}

void TDrawer::grClearViewPort() {
  if (DrawWindow != nullptr) DrawWindow->ClearViewPort();
}

void TDrawer::grSetLineStyle(std::uint16_t style) {
  if (DrawWindow != nullptr) DrawWindow->SetLineStyle(style);
}

void TDrawer::grSetTextStyle(std::int32_t n, long double angle, long double height,
                             long double width) {
  if (DrawWindow != nullptr) DrawWindow->SetTextStyle(angle, height, width, n);
}

void TDrawer::grSetPenColor(std::uint8_t pen) {
  grSetColor(PenToColor(pen));
}

void TDrawer::grSolid(long double x1, long double y1, long double x2, long double y2,
                      long double x3, long double y3, long double x4, long double y4) {
  if (DrawWindow != nullptr) DrawWindow->Solid(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TDrawer::grDrawLogo() {
  if (DrawWindow != nullptr) DrawWindow->DrawBrelcorLogo();
}

void TDrawer::grCheckFile(const std::string& name) {
  if (!FileThere(name)) grFileMissing(name);
}

void TDrawer::grFileMissing(const std::string& name) {
  grMessage(NoBlanks(name) + " not found !");
  AbortFlag = 1;
}

void TDrawer::grWaitCursor() {
  if (DrawWindow != nullptr) DrawWindow->SetWaitCursor();
}

void TDrawer::grNormalCursor() {
  if (DrawWindow != nullptr) DrawWindow->SetOldCursor();
}

std::int32_t PenToColor(std::uint8_t pen) {
  static constexpr std::int32_t kFirstEight[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  if (pen > 16) pen &= 15;
  if (pen < 8) return kFirstEight[pen];
  if (pen < 16) return pen - 7;
  return 16;
}

bool IsBareCalcName(const std::string& name) {
  return name.find('/') == std::string::npos;
}

std::string CalcFileOfName(const std::string& name) {
  return IsBareCalcName(name) ? AddBackslash(DataDir) + name + "." + FileExt : name;
}

std::string CurrentFileName() {
  if (CurrentFile.empty()) return "";
  if (ArchiveMode != 0) return CurrentFile;
  return CalcFileOfName(CurrentFile);
}

namespace {

// Steps shared by both arc routines; false when the sweep is a multiple of a full turn.
bool ArcThroughPoints(long double x1, long double y1, long double x2, long double y2,
                      long double dphi, long double& xc, long double& yc, long double& r) {
  if (std::sin(dphi / 2) == 0) {
    if (SqrtQuiet == 0) {
      AddMessage("Fehler in GetArcCenter (dphi = " + RealText(dphi) + " ! ");
    }
    return false;
  }
  const long double dx = x2 - x1;
  const long double dy = y2 - y1;
  const long double c = std::sqrt(dx * dx + dy * dy);
  const long double mx = (x1 + x2) / 2;
  const long double my = (y1 + y2) / 2;
  const long double h = std::sin(dphi) == 0 ? 0 : c / 2 / std::tan(dphi / 2);
  r = std::fabs(c / 2 / std::sin(dphi / 2));
  if (c == 0) {
    xc = mx;
    yc = my;
  } else {
    xc = mx - dy * h / c;
    yc = my + dx * h / c;
  }
  return true;
}

// Centre, radius and the angles of both points; the outputs stay untouched on failure.
bool ArcCenterAndAngles(long double x1, long double y1, long double x2, long double y2,
                        long double dphi, long double& xc, long double& yc, long double& a1,
                        long double& a2, long double& r) {
  long double cx = 0, cy = 0, radius = 0;
  if (!ArcThroughPoints(x1, y1, x2, y2, dphi, cx, cy, radius)) return false;
  xc = cx;
  yc = cy;
  r = radius;
  a1 = AngleXY(x1 - cx, y1 - cy);
  a2 = AngleXY(x2 - cx, y2 - cy);
  return true;
}

}  // namespace

void GetArcCenter(long double x1, long double y1, long double x2, long double y2, long double dphi,
                  long double& xc, long double& yc, long double& a1, long double& a2,
                  long double& r) {
  if (dphi == 2 * Pi) {
    xc = x1;
    yc = y1;
    a1 = a2 = r = 0;
    return;
  }
  if (ArcCenterAndAngles(x1, y1, x2, y2, dphi, xc, yc, a1, a2, r) && dphi < 0) {
    std::swap(a1, a2);
  }
}

void GetArcCenterD(long double x1, long double y1, long double x2, long double y2, long double dphi,
                   long double& xc, long double& yc, long double& a1, long double& a2,
                   long double& r) {
  ArcCenterAndAngles(x1, y1, x2, y2, dphi, xc, yc, a1, a2, r);
}

void RotateAbout(long double px, long double py, long double cx, long double cy, long double phi,
                 long double& x, long double& y) {
  const long double dx = px - cx;
  const long double dy = py - cy;
  x = cx + dx * std::cos(phi) - dy * std::sin(phi);
  y = cy + dy * std::cos(phi) + dx * std::sin(phi);
}
