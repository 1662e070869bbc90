// Loaded into wkv6 with LD_PRELOAD by wkv6_start_test.py, it notes the start's work outside the
// program's own code in the file $KV6_START_PROBE_OUT, one line each:
//   "iconv_open TO FROM"  a character converter opened
//   "opendir PATH"        a folder listed
//   "unlink PATH"         a file removed (the write tests' "x.$$$" files among them)
//   "map PATH"            at exit, every file mapped into the process (the libraries loaded)
#include <dirent.h>
#include <dlfcn.h>
#include <iconv.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

std::FILE* Notes() {
  static std::FILE* notes = [] {
    const char* name = std::getenv("KV6_START_PROBE_OUT");
    return name != nullptr ? std::fopen(name, "w") : nullptr;
  }();
  return notes;
}

void Note(const char* kind, const char* first, const char* second = nullptr) {
  std::FILE* notes = Notes();
  if (notes == nullptr) return;
  std::fprintf(notes, "%s %s%s%s\n", kind, first != nullptr ? first : "", second ? " " : "",
               second != nullptr ? second : "");
  std::fflush(notes);
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

__attribute__((destructor)) void NoteMappedFiles() {
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  if (maps == nullptr) return;
  std::set<std::string> files;
  char line[4096];
  while (std::fgets(line, sizeof line, maps) != nullptr) {
    const char* path = std::strchr(line, '/');
    if (path == nullptr) continue;
    files.insert(std::string(path, std::strcspn(path, "\n")));
  }
  std::fclose(maps);
  for (const std::string& file : files) Note("map", file.c_str());
}

}  // namespace

extern "C" iconv_t iconv_open(const char* to, const char* from) {
  static const auto next = Next<iconv_t (*)(const char*, const char*)>("iconv_open");
  Note("iconv_open", to, from);
  return next(to, from);
}

extern "C" DIR* opendir(const char* path) {
  static const auto next = Next<DIR* (*)(const char*)>("opendir");
  Note("opendir", path);
  return next(path);
}

extern "C" int unlink(const char* path) {
  static const auto next = Next<int (*)(const char*)>("unlink");
  Note("unlink", path);
  return next(path);
}
