#pragma once
// The report viewer of the screen device and the converted copies of report files that other
// programs read.

#include <functional>
#include <string>

#include "platform/ui/textviewer.h"

// Copies a code-page-850 text file line by line through the display conversion into UTF-8 text
// of any line length. Any open, read, write or close failure is shown with the file's name and
// its cause, and sets AbortFlag; the destination then stays as it was.
void CopyTextFileConverted(const std::string& source, const std::string& destination);

// Shows TempDir/"outwin.txt" in the viewer window; its print command prints printFileName (the
// report in code page 850). The window takes and gives back TextWindowRect.
void ShowTextFileViewer(const std::string& printFileName);

// The viewer's menu captions in the current language; the menu text table installs its own.
// Unset: the English captions.
extern platform::ViewerMenuCaptions (*ViewerMenuCaptionSource)();
