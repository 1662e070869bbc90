// Reads every .igs and .stp file of a folder with Open CASCADE: the file loads, its check list
// holds no fail and no warning outside a short allow-list, the roots transfer to a shape, and that
// shape has the number of edges written in "<file>.edges" beside it. Prints one line per file;
// fails when any file does, or when the folder holds none.
#include <IFSelect_ReturnStatus.hxx>
#include <IGESControl_Reader.hxx>
#include <Interface_Check.hxx>
#include <Interface_CheckIterator.hxx>
#include <STEPControl_Reader.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>
#include <XSControl_WorkSession.hxx>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

namespace {

int expected_edges(const std::filesystem::path& file) {
  std::ifstream in(file.string() + ".edges");
  int edges = -1;
  in >> edges;
  return edges;
}

// Messages that do not make a file unsound.
bool allowed(const char* message) {
  // A blank line weight field is weight 0; the reader asks for it on solids and notes only.
  return std::string(message).find("Line Weight Number is undefined") != std::string::npos;
}

int checks_with_messages(XSControl_Reader& reader, const std::string& name) {
  Interface_CheckIterator list = reader.WS()->ModelCheckList();
  int count = 0;
  for (list.Start(); list.More(); list.Next()) {
    const Handle(Interface_Check)& check = list.Value();
    for (int i = 1; i <= check->NbFails(); ++i, ++count)
      std::cout << name << ": fail: " << check->CFail(i) << "\n";
    for (int i = 1; i <= check->NbWarnings(); ++i) {
      if (allowed(check->CWarning(i))) continue;
      std::cout << name << ": warning: " << check->CWarning(i) << "\n";
      ++count;
    }
  }
  return count;
}

bool check(const std::filesystem::path& file) {
  std::unique_ptr<XSControl_Reader> reader;
  if (file.extension() == ".igs") {
    reader = std::make_unique<IGESControl_Reader>();
  } else {
    reader = std::make_unique<STEPControl_Reader>();
  }
  std::string name = file.filename().string();
  if (reader->ReadFile(file.string().c_str()) != IFSelect_RetDone) {
    std::cout << name << ": not read\n";
    return false;
  }
  bool ok = checks_with_messages(*reader, name) == 0;
  reader->TransferRoots();
  TopoDS_Shape shape = reader->OneShape();
  if (shape.IsNull()) {
    std::cout << name << ": no shape\n";
    return false;
  }
  TopTools_IndexedMapOfShape edges;
  TopExp::MapShapes(shape, TopAbs_EDGE, edges);
  int expected = expected_edges(file);
  std::cout << name << ": " << edges.Extent() << " edges, expected " << expected << "\n";
  return ok && edges.Extent() == expected;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: occt_check FOLDER\n";
    return 2;
  }
  int files = 0;
  bool ok = true;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    std::string ext = entry.path().extension().string();
    if (ext != ".igs" && ext != ".stp") continue;
    ++files;
    ok = check(entry.path()) && ok;
  }
  if (files == 0) std::cout << "no IGES or STEP file in " << argv[1] << "\n";
  return ok && files > 0 ? 0 : 1;
}
