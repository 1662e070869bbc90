#include "base/dialogs/formplace.h"

#include <cmath>

#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"

platform::FormHandle* DrawWindowForm = nullptr;

namespace {

constexpr std::int32_t kTooltipMilliseconds = 100000;
constexpr std::int32_t kCentreDrop = 20;

bool KeepsDesign() {
  return WindowMode == 2;
}

std::int32_t Percent(std::int32_t value, std::int32_t percent) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(value) * percent / 100);
}

std::int32_t ByDpi(std::int32_t value) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(value) * ScreenDpi / 96);
}

void ScaleContents(platform::FormHandle& form) {
  form.UseParentFont();
  form.SetFontScale(DialogScale);
}

void SizeByInputScale(platform::FormHandle& form) {
  const platform::Size designed = form.DesignedSize();
  form.SetOuterSize(
      {Percent(designed.width, InputWindowScale), Percent(designed.height, InputWindowScale)});
}

void SetDialogBorder(platform::FormHandle& form) {
  form.SetBorder(SizeableDialogs != 0 ? platform::FormBorder::Sizeable
                                      : platform::FormBorder::Dialog);
}

// Outer frame of the drawing window, or the whole screen without one.
platform::Point DrawWindowOrigin() {
  return DrawWindowForm != nullptr ? DrawWindowForm->Position() : platform::Point{};
}

platform::Size DrawWindowSize() {
  return DrawWindowForm != nullptr ? DrawWindowForm->OuterSize() : platform::PrimaryScreen().size;
}

platform::Size DrawWindowFrame() {
  if (DrawWindowForm == nullptr) return {};
  const platform::Size outer = DrawWindowForm->OuterSize();
  const platform::Size client = DrawWindowForm->ClientSize();
  return {outer.width - client.width, outer.height - client.height};
}

}  // namespace

void CenterOnDrawWindow(platform::FormHandle& form) {
  if (KeepsDesign()) return;
  ScaleContents(form);
  SizeByInputScale(form);
  form.CentreOn({DrawWindowOrigin(), DrawWindowSize(), kCentreDrop});
  SetDialogBorder(form);
}

void PlaceAuxImageForm(platform::FormHandle& form) {
  if (KeepsDesign()) return;
  ScaleContents(form);
  SizeByInputScale(form);
  form.SetPosition({AuxImageFormLeft, AuxImageFormTop});
  SetDialogBorder(form);
}

void ScaleForm(platform::FormHandle& form) {
  if (KeepsDesign()) return;
  ScaleContents(form);
  SizeByInputScale(form);
}

void ScaleDialog(platform::FormHandle& form) {
  if (KeepsDesign()) return;
  const platform::Size designed = form.DesignedSize();
  form.SetOuterSize({ByDpi(designed.width), ByDpi(designed.height)});
  form.SetFontScale(DialogScale);
  SetDialogBorder(form);
}

void SetupMainWindow(platform::FormHandle& form) {
  if (KeepsDesign()) return;
  form.SetClientSize({HorizontalPixels + 1, VerticalPixels + 1});
  form.SetPosition({0, 0});
  form.SetBackground(platform::ColorFromValue(BackgroundColour));
  ScaleContents(form);
  form.SetTooltipDuration(kTooltipMilliseconds);
}

std::int32_t ScaleSize(std::int32_t n) {
  std::int32_t result = n;
  if (DialogScale != 100 && DialogScale >= 2) result = Percent(result, DialogScale);
  if (ScreenDpi != 96 && ScreenDpi >= 2) result = ByDpi(result);
  return result;
}

std::int32_t ScaleSizeOf(std::int32_t n) {
  return ScaleSize(n);
}

std::int32_t InputScaleDpi() {
  return ByDpi(InputWindowScale);
}

std::int32_t MaxClientWidth() {
  return platform::PrimaryScreen().size.width - DrawWindowFrame().width;
}

std::int32_t MaxClientHeight() {
  return platform::PrimaryScreen().size.height -
         static_cast<std::int32_t>(std::lround(1.9L * DrawWindowFrame().height));
}
