// Drawing into PNG files without a window. Needs the Qt backend's application.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/canvas.h"

namespace platform::qt {

// Paints onto an image of the size and writes it as a PNG file; false when it cannot be
// written.
bool RenderPng(const std::string& path, Size size, const std::function<void(Canvas&)>& paint);

// Paints onto an image that is then dropped, as the speed measurements of drawing need.
void PaintImage(Size size, const std::function<void(Canvas&)>& paint);

}  // namespace platform::qt
