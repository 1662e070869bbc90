// Procedural drawing: the gr routines forward to the one drawing window, so that code without
// the window at hand (HP-GL images, help, the CAD screen target) can draw. Also the arc
// through two points and the name of the current calculation file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TDrawer {
 public:
  TDrawer();           // InitDrawer: an empty display list
  virtual ~TDrawer();  // DoneDrawer
  TDrawer(const TDrawer&) = delete;
  TDrawer& operator=(const TDrawer&) = delete;

  void grClear();
  void grSetWindow(bool keepAspect, bool inset, long double vx1, long double vy1, long double vx2,
                   long double vy2, long double xmin, long double ymin, long double xmax,
                   long double ymax);
  void grCircle(long double x, long double y, long double r);
  void grLine(long double x1, long double y1, long double x2, long double y2);
  void grArc(long double xc, long double yc, long double a1, long double a2, long double r,
             long double sweep);
  // The text is in the stored code page and is converted for display.
  void grOutTextXY(long double x, long double y, std::string_view text);
  void grSetColor(std::int32_t colour);
  void grMessage(const std::string& text);
  void grHeader(long double xmin, long double ymin, long double xmax, long double ymax);
  void grClearViewPort();
  void grSetLineStyle(std::uint16_t style);
  void grSetTextStyle(std::int32_t n, long double angle, long double height, long double width);
  void grSetPenColor(std::uint8_t pen);
  void grSolid(long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4);
  void grDrawLogo();
  // Sets AbortFlag and tells the user when the name is not a regular file that opens for
  // reading.
  void grCheckFile(const std::string& name);
  // Tells the user that the file is missing and sets AbortFlag.
  void grFileMissing(const std::string& name);
  void grWaitCursor();
  void grNormalCursor();
};

extern TDrawer* Drawer;

// CAD pen number to colour number of the drawing window.
std::int32_t PenToColor(std::uint8_t pen);

// A bare calculation-file name (no "/"; it may hold dots, as "p3g.v2" does) lies in DataDir with
// the extension FileExt; a path, such as the command line's file made absolute, is the file itself.
bool IsBareCalcName(const std::string& name);
std::string CalcFileOfName(const std::string& name);
// The current file's full name; empty without one. In archive mode CurrentFile as it stands.
std::string CurrentFileName();

// The arc that leaves (x1, y1), ends at (x2, y2) and sweeps dphi radians (counterclockwise
// when positive). a1 to a2 runs counterclockwise. A zero sweep leaves the outputs untouched.
void GetArcCenter(long double x1, long double y1, long double x2, long double y2, long double dphi,
                  long double& xc, long double& yc, long double& a1, long double& a2,
                  long double& r);
// As GetArcCenter without the full-circle case, a1 always from (x1, y1).
void GetArcCenterD(long double x1, long double y1, long double x2, long double y2, long double dphi,
                   long double& xc, long double& yc, long double& a1, long double& a2,
                   long double& r);

void RotateAbout(long double px, long double py, long double cx, long double cy, long double phi,
                 long double& x, long double& y);
