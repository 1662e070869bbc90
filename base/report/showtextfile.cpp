#include "base/report/showtextfile.h"

#include "base/dialogs/utilcrt.h"
#include "base/files/textfile.h"
#include "base/files/utilpath.h"
#include "base/report/launcher.h"
#include "base/report/textprint.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/displaytext.h"
#include "platform/files/codepage.h"
#include "platform/files/osfiles.h"

platform::ViewerMenuCaptions (*ViewerMenuCaptionSource)() = nullptr;

namespace {

platform::ViewerMenuCaptions EnglishCaptions() {
  auto latin = [](const char* text) { return platform::TaggedText{text, platform::kCodePage1252}; };
  return {latin("&File"), latin("Export &Notepad"), latin("Export &Wordpad"), latin("&Print..."),
          latin("E&xit"), latin("&Edit"),           latin("Select &All"),     latin("&Copy")};
}

std::string OutwinName() {
  return AddBackslash(TempDir) + "outwin.txt";
}

bool ReadWhole(const std::string& name, std::string& text) {
  return platform::os::ReadWholeFile(name, text);
}

// A copy that fails says which file and why, and stops.
void CopyFailed(const char* doing, const TextFile& file) {
  ShowError("cannot " + std::string(doing) + " " + PathInText(file.FileName()) + ": " +
            file.FailureText());
  AbortFlag = 1;
}

// The lines through the display conversion up to the end of the source; false after a failure.
bool CopyLines(TextFile& in, TextFile& out) {
  std::string line;
  do {
    in.ReadLine(line);
    if (in.IoResult() != 0) break;
    out.WriteLine(platform::Cp1252ToUtf8(ToDisplayText(line)));
    if (out.IoResult() != 0) {
      CopyFailed("write", out);
      return false;
    }
  } while (!in.Eof());
  if (in.IoResult() == 0) return true;
  CopyFailed("read", in);
  return false;
}

}  // namespace

void CopyTextFileConverted(const std::string& source, const std::string& destination) {
  TextFile in;
  in.Assign(source);
  in.Reset();
  if (in.IoResult() != 0) {
    CopyFailed("read", in);
    return;
  }
  TextFile out;
  out.AssignWhole(destination);
  out.Rewrite();
  if (out.IoResult() != 0) {
    CopyFailed("write", out);
    return;
  }
  if (!CopyLines(in, out)) {
    out.Discard();
    return;
  }
  // Written lines wait in the buffer: a full disk often shows only here.
  out.Close();
  if (out.IoResult() != 0) CopyFailed("write", out);
}

void ShowTextFileViewer(const std::string& printFileName) {
  platform::TextViewerRequest request;
  if (TextWindowRect[2] > 0 && TextWindowRect[3] > 0) {
    request.rect = {TextWindowRect[0], TextWindowRect[1], TextWindowRect[2], TextWindowRect[3]};
  }
  request.menus = ViewerMenuCaptionSource ? ViewerMenuCaptionSource() : EnglishCaptions();
  request.menus.exportEditor = {"Export &Notepad", platform::kCodePage1252};
  request.menus.exportWordpad = {"Export &Wordpad", platform::kCodePage1252};
  const std::string shown = OutwinName();
  request.font = PrintoutFont();
  if (!ReadWhole(shown, request.textUtf8)) ShowMessageBox(PathInText(shown) + " not found !", 0);
  request.caption = ToDisplayText(ProductCode + "    " + PathInText(shown));
  request.fileName = shown;
  request.onExport = [] { EditTextReported(OutwinName()); };
  request.onPrint = [printFileName] { PrintTextFile(printFileName); };
  const platform::WindowRect closed = platform::TextViewer().Show(request);
  TextWindowRect[0] = closed.left;
  TextWindowRect[1] = closed.top;
  TextWindowRect[2] = closed.width;
  TextWindowRect[3] = closed.height;
}
