#include "tables/modules/ndx/ndxbuild.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <queue>
#include <utility>
#include <vector>

#include "platform/files/blockfile.h"
#include "platform/files/dirservices.h"
#include "platform/files/fileidentity.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "platform/files/replacefile.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/exprkeys.h"
#include "tables/modules/expr/exprnormal.h"
#include "tables/modules/ndx/ndxfile.h"

namespace dadav {

std::size_t IndexSortBudget = kDefaultIndexSortBudget;

namespace {

IndexProgressProc progressProc = nullptr;
std::uint32_t progressSteps = 0;

constexpr std::size_t kReadBytes = std::size_t{1} << 20;
constexpr std::size_t kOutputNodes = 128;
constexpr std::size_t kRunBufferBytes = std::size_t{1} << 16;

// Calls the progress procedure every `every` items, k times in all.
class Progress {
 public:
  explicit Progress(std::int32_t records) {
    if (progressProc == nullptr || progressSteps == 0) return;
    every_ = std::max<std::int64_t>(2, std::int64_t{records} / progressSteps * 2);
  }
  void Item() {
    if (every_ == 0 || ++items_ < every_) return;
    items_ = 0;
    if (calls_ < progressSteps) {
      ++calls_;
      progressProc();
    }
  }
  void Finish() {
    if (every_ == 0) return;
    while (calls_ < progressSteps) {
      ++calls_;
      progressProc();
    }
  }

 private:
  std::int64_t every_ = 0;
  std::int64_t items_ = 0;
  std::uint32_t calls_ = 0;
};

// Writes nodes 1, 2, 3, ... in order, buffered, and the end rule that closes every level.
class TreeWriter {
 public:
  TreeWriter(const IndexDescriptor& d, const platform::BlockFile& file)
      : d_(d), file_(file), kpn_(d.anchor.KeysPerNode()), es_(d.EntrySize()) {
    levels_.reserve(kMaxNdxDepth);
    levels_.emplace_back();
  }

  void Add(std::uint32_t record, const std::uint8_t* key) {
    if (levels_[0].count == kpn_) {
      const std::uint32_t leaf = WriteLevel(0);
      Register(1, leaf, levels_[0].lastMax);
    }
    Append(levels_[0], 0, record, key);
    ++items_;
  }

  // Closes every level; the root's number, 0 after a write error.
  std::uint32_t Finish() {
    std::uint32_t below = items_ == 0 ? Emit(NdxBlock{}) : WriteLevel(0);
    std::vector<std::uint8_t> belowMax = levels_[0].lastMax;
    for (std::size_t h = 1; h < levels_.size() && code_ == 0 && items_ != 0; ++h) {
      Level& level = levels_[h];
      if (level.count == 0 && !level.wrote) break;
      if (level.count == 0) Borrow(h);
      NdxNodeView(level.node, es_).SetChild(level.count, below);
      level.max = belowMax;
      below = WriteLevel(h);
    }
    Flush();
    return code_ == 0 ? below : 0;
  }

  int Code() const { return code_; }

 private:
  struct Level {
    NdxBlock node{};
    std::uint16_t count = 0;
    std::vector<std::uint8_t> max;  // of the subtree of the node being filled
    bool wrote = false;
    std::uint32_t lastNumber = 0;
    NdxBlock lastBytes{};
    std::vector<std::uint8_t> lastMax;
  };

  void Append(Level& level, std::uint32_t child, std::uint32_t record, const std::uint8_t* key) {
    NdxNodeView view(level.node, es_);
    view.SetChild(level.count, child);
    view.SetRecord(level.count, record);
    std::memcpy(view.Key(level.count), key, d_.KeyLength());
    ++level.count;
    view.SetCount(level.count);
    level.max.assign(key, key + d_.KeyLength());
  }

  // Writes the level's node under the next number and starts an empty one.
  std::uint32_t WriteLevel(std::size_t h) {
    Level& level = levels_[h];
    NdxNodeView(level.node, es_).SetCount(level.count);
    const std::uint32_t number = Emit(level.node);
    level.wrote = true;
    level.lastNumber = number;
    level.lastBytes = level.node;
    level.lastMax = level.max;
    level.node = NdxBlock{};
    level.count = 0;
    return number;
  }

  // Enters a written node into level h: as an entry while there is room, else as the
  // trailing child of the full node, which is then written and entered a level higher.
  void Register(std::size_t h, std::uint32_t number, std::vector<std::uint8_t> max) {
    for (;; ++h) {
      if (h == levels_.size()) levels_.emplace_back();
      Level& level = levels_[h];
      if (level.count < kpn_) {
        Append(level, number, 0, max.data());
        return;
      }
      NdxNodeView(level.node, es_).SetChild(level.count, number);
      level.max = max;
      number = WriteLevel(h);
      max = level.lastMax;
    }
  }

  // Level h closed its last node and took nothing since: that node's trailing child comes
  // down as the level's one entry, and the node is rewritten ending at its last entry.
  void Borrow(std::size_t h) {
    Level& level = levels_[h];
    NdxNodeView last(level.lastBytes, es_);
    const std::uint16_t count = last.Count();
    const std::uint32_t trailing = last.TrailingChild();
    Append(level, trailing, 0, level.lastMax.data());
    const auto lastEntry = static_cast<std::uint16_t>(count - 1);
    std::vector<std::uint8_t> newMax(last.Key(lastEntry), last.Key(lastEntry) + d_.KeyLength());
    last.SetCount(lastEntry);
    // The last entry's child is now the trailing child; its record and key go.
    const std::size_t end = 4 + std::size_t{lastEntry} * es_ + 4;
    std::fill(level.lastBytes.begin() + static_cast<std::ptrdiff_t>(end), level.lastBytes.end(),
              std::uint8_t{0});
    Rewrite(level.lastNumber, level.lastBytes);
    level.lastMax = newMax;
    for (std::size_t g = h + 1; g < levels_.size(); ++g) {
      Level& above = levels_[g];
      if (above.count > 0) {
        std::memcpy(NdxNodeView(above.node, es_).Key(static_cast<std::uint16_t>(above.count - 1)),
                    newMax.data(), d_.KeyLength());
        above.max = newMax;
        return;
      }
      if (!above.wrote) return;
      above.lastMax = newMax;
    }
  }

  std::uint32_t Emit(const NdxBlock& block) {
    out_.insert(out_.end(), block.begin(), block.end());
    const std::uint32_t number = next_++;
    if (out_.size() >= kOutputNodes * kNdxBlockSize) Flush();
    return number;
  }

  void Flush() {
    if (out_.empty() || code_ != 0) return;
    std::size_t done = 0;
    code_ = file_.WriteAt(std::uint64_t{first_} * kNdxBlockSize, out_.data(), out_.size(), done);
    first_ = next_;
    out_.clear();
  }

  void Rewrite(std::uint32_t number, const NdxBlock& block) {
    Flush();
    if (code_ == 0) code_ = WriteNdxBlock(file_, number, block);
  }

  const IndexDescriptor& d_;
  const platform::BlockFile& file_;
  const std::uint16_t kpn_;
  const std::uint16_t es_;
  std::vector<Level> levels_;
  std::vector<std::uint8_t> out_;
  std::uint32_t next_ = 1;
  std::uint32_t first_ = 1;
  std::uint64_t items_ = 0;
  int code_ = 0;
};

// The (key, record) items of the build: fixed-size, key first.
class ItemSort {
 public:
  ItemSort(const IndexDescriptor& d) : d_(d), size_(d.KeyLength() + 4u) {}

  std::size_t ItemSize() const { return size_; }
  bool Less(const std::uint8_t* a, const std::uint8_t* b) const {
    const int order = d_.Order(a, b);
    if (order != 0) return order < 0;
    return Record(a) < Record(b);
  }
  std::uint32_t Record(const std::uint8_t* item) const {
    std::uint32_t record;
    std::memcpy(&record, item + d_.KeyLength(), 4);
    return record;
  }
  void Sort(std::vector<const std::uint8_t*>& items) const {
    if (d_.numeric) {
      std::sort(items.begin(), items.end(),
                [this](const std::uint8_t* a, const std::uint8_t* b) { return Less(a, b); });
      return;
    }
    // Character keys order by their bytes: the first eight, read as one big-endian number,
    // decide most comparisons without touching the items.
    std::vector<Prefixed> prefixed(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) prefixed[i] = {Prefix(items[i]), items[i]};
    std::sort(prefixed.begin(), prefixed.end(), [this](const Prefixed& a, const Prefixed& b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      return Less(a.item, b.item);
    });
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = prefixed[i].item;
  }

 private:
  struct Prefixed {
    std::uint64_t prefix = 0;
    const std::uint8_t* item = nullptr;
  };

  std::uint64_t Prefix(const std::uint8_t* item) const {
    std::uint64_t prefix = 0;
    const std::size_t length = std::min<std::size_t>(8, d_.KeyLength());
    for (std::size_t i = 0; i < 8; ++i) prefix = prefix << 8 | (i < length ? item[i] : 0u);
    return prefix;
  }

  const IndexDescriptor& d_;
  std::size_t size_;
};

std::string Suffix(const std::string& name) {
  return " [MakeIndex(<...>," + name + ")]";
}

bool OpenInAnyArea(const std::string& path) {
  platform::FileIdentity wanted;
  if (!platform::IdentityOfPath(path, wanted)) return false;
  for (std::uint8_t n = 1; n <= 34; ++n) {
    const NdxAreaState& state = IndexAreaOf(n);
    for (const auto& slot : state.descriptors) {
      platform::FileIdentity open;
      if (slot && platform::IdentityOfFile(slot->file, open) && open == wanted) return true;
    }
  }
  return false;
}

std::uint64_t TreeBytes(std::int64_t records, std::uint16_t keysPerNode) {
  std::uint64_t bytes = 0;
  std::int64_t n = records;
  do {
    n /= keysPerNode;
    bytes += static_cast<std::uint64_t>(n + 1) * kNdxBlockSize;
  } while (n != 0);
  return bytes + kNdxBlockSize;
}

bool SameFileSystem(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return platform::os::Stat(a, first) == 0 && platform::os::Stat(b, second) == 0 &&
         first.st_dev == second.st_dev;
}

std::string Kilobytes(long double bytes) {
  return std::to_string(static_cast<std::int64_t>(std::floor(bytes / 1024)));
}

bool ReportShortDisk(long double free, std::uint64_t needed) {
  if (free < 0 || static_cast<long double>(needed) <= free) return false;
  ReportError(227, "Available disk space: " + Kilobytes(free) + " KBytes;" + "needed: " +
                       Kilobytes(static_cast<long double>(needed)) + " KBytes [MakeIndex]");
  return true;
}

// Enough room for the nodes in the index's folder and the runs in the temporary folder.
bool DiskRoom(const std::string& indexPath, std::uint64_t nodes, std::uint64_t runs) {
  std::string dir, name, ext;
  FSplit(indexPath, dir, name, ext);
  if (dir.empty()) dir = ".";
  const std::string temp = platform::TempFolder();
  const long double indexFree = platform::DiskFreeBytes(dir);
  if (runs == 0 || SameFileSystem(dir, temp)) return !ReportShortDisk(indexFree, nodes + runs);
  return !ReportShortDisk(indexFree, nodes) &&
         !ReportShortDisk(platform::DiskFreeBytes(temp), runs);
}

// One sorted run in the temporary file, read back through a buffer.
struct RunReader {
  std::uint64_t next = 0;
  std::uint64_t end = 0;
  std::vector<std::uint8_t> buffer;
  std::size_t at = 0;
};

class Build {
 public:
  Build(IndexDescriptor& d, WorkArea& area, const std::string& path)
      : d_(d), area_(area), path_(path), sort_(d) {}

  void Run() {
    const std::int32_t records = area_.recCount;
    Progress progress(records);
    const std::size_t itemSize = sort_.ItemSize();
    const std::size_t runItems =
        std::max<std::size_t>(2, IndexSortBudget / (itemSize + sizeof(void*)));
    const bool spill = static_cast<std::size_t>(records) > runItems;
    const std::uint64_t nodes = TreeBytes(records, d_.anchor.KeysPerNode());
    if (!DiskRoom(path_, nodes, spill ? std::uint64_t(records) * itemSize : 0)) return;
    if (spill && !OpenRunFile()) return;
    items_.reserve(std::min<std::size_t>(runItems, static_cast<std::size_t>(records)) * itemSize);
    if (!ReadTable(records, runItems, progress)) return;
    TreeWriter writer(d_, d_.file);
    if (runs_.empty()) {
      std::vector<const std::uint8_t*> order = Pointers();
      sort_.Sort(order);
      for (const std::uint8_t* item : order) Emit(writer, item, progress);
    } else {
      if (!WriteRun()) return;
      Merge(writer, progress);
      if (LastErrorCode != 0) return;
    }
    const std::uint32_t root = writer.Finish();
    if (root == 0) {
      ReportError(static_cast<std::uint16_t>(writer.Code()),
                  "Error writing index file: " + d_.name + " [MakeIndex]");
      return;
    }
    d_.anchor.SetRoot(root);
    d_.anchor.SetNextFree(root + 1);
    WriteAnchorNode(d_);
    progress.Finish();
  }

 private:
  bool OpenRunFile() {
    std::string name;
    UniqueFilename(name);
    if (LastErrorCode != 0) return false;
    const int code = runFile_.Open(name, platform::kModeExclusive);
    // Unlinked at once: no run file outlives a crash.
    platform::os::Unlink(name);
    if (code != 0) {
      ReportError(static_cast<std::uint16_t>(code), "File not open " + name);
      return false;
    }
    return true;
  }

  std::vector<const std::uint8_t*> Pointers() const {
    std::vector<const std::uint8_t*> order;
    const std::size_t size = sort_.ItemSize();
    order.reserve(items_.size() / size);
    for (std::size_t at = 0; at < items_.size(); at += size) order.push_back(&items_[at]);
    return order;
  }

  bool WriteRun() {
    std::vector<const std::uint8_t*> order = Pointers();
    sort_.Sort(order);
    std::vector<std::uint8_t> out;
    out.reserve(items_.size());
    for (const std::uint8_t* item : order) out.insert(out.end(), item, item + sort_.ItemSize());
    std::size_t done = 0;
    const int code = runFile_.WriteAt(runEnd_, out.data(), out.size(), done);
    if (code != 0 || done != out.size()) {
      ReportError(static_cast<std::uint16_t>(code != 0 ? code : 101), " [MakeIndex]");
      return false;
    }
    runs_.push_back({runEnd_, runEnd_ + out.size(), {}, 0});
    runEnd_ += out.size();
    items_.clear();
    return true;
  }

  bool ReadTable(std::int32_t records, std::size_t runItems, Progress& progress) {
    const std::size_t length = area_.recordLength;
    const std::size_t perChunk = std::max<std::size_t>(1, kReadBytes / length);
    std::vector<std::uint8_t> chunk(perChunk * length);
    std::vector<std::uint8_t> key;
    const std::size_t itemSize = sort_.ItemSize();
    for (std::int64_t first = 1; first <= records; first += static_cast<std::int64_t>(perChunk)) {
      const std::size_t count =
          static_cast<std::size_t>(std::min<std::int64_t>(perChunk, records - first + 1));
      std::size_t done = 0;
      const std::uint64_t offset = static_cast<std::uint64_t>(area_.headerLength) +
                                   static_cast<std::uint64_t>(first - 1) * length;
      const int code = area_.file.ReadAt(offset, chunk.data(), count * length, done);
      if (code != 0 || done < count * length) {
        ReportError(static_cast<std::uint16_t>(code != 0 ? code : 100),
                    "Error reading " + area_.fileName + " [MakeIndex]");
        return false;
      }
      ConvertRecordCharset(false, area_.tableIsOem, count * length, area_.recordLength,
                           chunk.data());
      for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(area_.raw.data(), &chunk[i * length], length);
        area_.recNo = static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
        if (d_.keyMaker != nullptr) LoadNativeRecord();
        BuildKey(d_, key);
        const auto record = static_cast<std::uint32_t>(area_.recNo);
        const std::size_t at = items_.size();
        items_.resize(at + itemSize);
        std::memcpy(&items_[at], key.data(), key.size());
        std::memcpy(&items_[at + key.size()], &record, 4);
        progress.Item();
        if (items_.size() / itemSize == runItems && runFile_.IsOpen() && !WriteRun()) return false;
      }
    }
    return true;
  }

  void Emit(TreeWriter& writer, const std::uint8_t* item, Progress& progress) {
    progress.Item();
    if (d_.Unique() && havePrevious_ && d_.Order(previous_.data(), item) == 0) return;
    if (d_.Unique()) {
      previous_.assign(item, item + d_.KeyLength());
      havePrevious_ = true;
    }
    writer.Add(sort_.Record(item), item);
  }

  bool Refill(RunReader& run) {
    const std::size_t size = sort_.ItemSize();
    const std::size_t capacity = std::max<std::size_t>(1, kRunBufferBytes / size) * size;
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(capacity, run.end - run.next));
    run.buffer.resize(want);
    run.at = 0;
    if (want == 0) return false;
    std::size_t done = 0;
    const int code = runFile_.ReadAt(run.next, run.buffer.data(), want, done);
    if (code != 0 || done != want) {
      ReportError(static_cast<std::uint16_t>(code != 0 ? code : 100), " [MakeIndex]");
      return false;
    }
    run.next += want;
    return true;
  }

  void Merge(TreeWriter& writer, Progress& progress) {
    const std::size_t size = sort_.ItemSize();
    auto later = [this](const RunReader* a, const RunReader* b) {
      return sort_.Less(&b->buffer[b->at], &a->buffer[a->at]);
    };
    std::priority_queue<RunReader*, std::vector<RunReader*>, decltype(later)> heads(later);
    for (RunReader& run : runs_) {
      if (Refill(run)) heads.push(&run);
    }
    while (!heads.empty() && LastErrorCode == 0) {
      RunReader* run = heads.top();
      heads.pop();
      Emit(writer, &run->buffer[run->at], progress);
      run->at += size;
      if (run->at < run->buffer.size() || Refill(*run)) heads.push(run);
    }
  }

  IndexDescriptor& d_;
  WorkArea& area_;
  std::string path_;
  ItemSort sort_;
  std::vector<std::uint8_t> items_;
  platform::BlockFile runFile_;
  std::vector<RunReader> runs_;
  std::uint64_t runEnd_ = 0;
  std::vector<std::uint8_t> previous_;
  bool havePrevious_ = false;
};

// Compiles the expression into the descriptor and sets its key type; false after an error.
bool PrepareKey(IndexDescriptor& d, const std::string& expression, bool unique) {
  char type = 'C';
  if (d.keyMaker == nullptr) {
    if (!ParserPresent) {
      ReportError(221, "VAVaruru unit not linked in. [MakeIndex]");
      return false;
    }
    if (expression.size() > kMaxNdxExpressionLength) {
      ReportError(300, "Expression length exceeds 100 bytes");
      return false;
    }
    d.compiled = AssignExpr(expression);
    if (d.compiled == nullptr) return false;
    type = d.compiled->type;
    if (type != 'C' && type != 'D' && type != 'N') {
      ReportError(254, "Wrong parser return type");
      return false;
    }
  }
  d.numeric = type != 'C';
  std::size_t length = kNdxDoubleKeyLength;
  if (!d.numeric) {
    length = d.keyMaker != nullptr && d.soundex && expression.empty()
                 ? kSoundexLength
                 : BlankRecordKeyText(d).size();
  }
  if (length < 1 || length > kMaxNdxKeyLength) {
    ReportError(266, "Incorrect key length: Must be 1 to 100.");
    return false;
  }
  d.anchor = NewNdxAnchor(type, static_cast<std::uint16_t>(length), unique);
  return true;
}

// A table another program shares the old file with is reopened exclusively first.
bool TakeOldFile(WorkArea& area, const std::string& path, bool& reopened) {
  reopened = false;
  if (area.exclusive || !FileExists(path)) return true;
  platform::BlockFile probe;
  const int code = probe.Open(path, platform::kModeExclusiveRead);
  if (code != 5 && code != 32) return true;
  if (ReopenDbf(true) != 0) {
    ReportError(225, area.fileName);
    return false;
  }
  reopened = true;
  return true;
}

// The file a build writes, and the old index held exclusively meanwhile, as a rebuild in place
// held it, so that no other program opens it in between.
class NewIndexFile {
 public:
  explicit NewIndexFile(const std::string& path)
      : path_(path), buildName_(IndexBuildFileName(path)) {}
  // The build name holds the new file of a build that failed, or the old file once swapped.
  ~NewIndexFile() {
    if (started_) platform::os::Unlink(buildName_);
  }
  NewIndexFile(const NewIndexFile&) = delete;
  NewIndexFile& operator=(const NewIndexFile&) = delete;

  // Opens the new file into d.file with the old file's mode, extended attributes, owner and
  // group: 0, the I/O code, or -1 after an error reported. A build file a crash left, or a link
  // planted under its name, is removed, never followed; where another user's file holds the name,
  // the new file takes a unique name instead. Where no new file can take the old one's place or
  // attributes, the old file is rebuilt in place instead.
  int Start(IndexDescriptor& d) {
    std::string target;
    struct stat info {};
    const bool exists = platform::FinalTargetStat(path_, target, info) == 0;
    if (!exists && errno != ENOENT) return platform::IoCodeFromErrno(errno, true);
    if (exists) {
      if (const int code = old_.Open(path_, platform::kModeExclusive); code != 0) return code;
      if (platform::ReplacedInPlace(target, info)) return StartInPlace(d);
    }
    const mode_t mode = exists ? info.st_mode & 0777 : 0666;
    const int fd = platform::CreateAfreshOrBeside(target, mode, buildName_);
    if (fd < 0 && exists && platform::WrittenInPlaceInstead(errno)) return StartInPlace(d);
    if (fd < 0) return platform::IoCodeFromErrno(errno, true);
    started_ = true;
    if (exists && platform::TakeAttributes(fd, target, info) != 0) {
      const int error = errno;
      ::close(fd);
      if (platform::WrittenInPlaceInstead(error)) return StartInPlace(d);
      return platform::IoCodeFromErrno(error, true);
    }
    if (const int code = d.file.Adopt(fd); code != 0) return code;
    // Cut to the anchor, not emptied: some file systems write a file emptied and written anew
    // out at once when it is closed.
    return d.file.Truncate(kNdxBlockSize);
  }

  // The complete file takes the old one's place.
  void Place(platform::BlockFile& file, const std::string& name) const {
    file.Close();
    if (inPlace_) return;
    if (const int code = Swap(); code != 0) {
      ReportError(static_cast<std::uint16_t>(code),
                  "Error writing index file: " + name + " [MakeIndex]");
    }
  }

 private:
  // Swapped with the old file, which then goes under the build name: a rename over a file makes
  // some file systems write the new one out at once, which would cost more than the build.
  int Swap() const {
    const std::string target = platform::FinalTarget(path_);
    if (old_.IsOpen() && platform::os::Exchange(buildName_, target) == 0) return 0;
    if (platform::os::Rename(buildName_, target) == 0) return 0;
    return platform::IoCodeFromErrno(errno, true);
  }

  // The old file, marked as in change until the build writes its anchor complete, so that a
  // build that does not finish leaves an index that is rebuilt, never one that is trusted.
  int StartInPlace(IndexDescriptor& d) {
    inPlace_ = true;
    d.file = std::move(old_);
    d.inChange = true;
    const bool marked = WriteAnchorNode(d);
    d.inChange = false;
    return marked ? d.file.Truncate(kNdxBlockSize) : -1;
  }

  std::string path_;
  std::string buildName_;
  platform::BlockFile old_;
  bool started_ = false;
  bool inPlace_ = false;
};

void RestoreRecord(WorkArea& area, std::int32_t recNo) {
  area.recNo = recNo;
  if (recNo >= 1 && recNo <= area.recCount) {
    GetDbfRecord(area, recNo);
  } else {
    std::fill(area.raw.begin(), area.raw.end(), ' ');
  }
  LoadNativeRecord();
}

}  // namespace

void SetIndexProgressProc(IndexProgressProc proc, std::uint32_t steps) {
  progressProc = proc;
  progressSteps = steps;
}

std::string IndexBuildFileName(const std::string& path) {
  return platform::FinalTarget(path) + ".build$";
}

std::string IndexFilePath(const std::string& name) {
  const WorkArea* area = Area();
  std::string path = AllTrim(name);
  // A name stored by a Windows program may still separate its folders with backslashes.
  std::replace(path.begin(), path.end(), '\\', '/');
  std::string dir, base, ext;
  FSplit(path, dir, base, ext);
  if (ext.empty()) {
    path += "." + (area != nullptr ? CompanionExt(area->fileName, "NDX") : std::string("NDX"));
  }
  if (dir.empty() && area != nullptr) {
    std::string tableDir, tableName, tableExt;
    FSplit(area->fileName, tableDir, tableName, tableExt);
    path = tableDir + path;
  }
  return platform::ResolveFileName(path);
}

void MakeIndex(const std::string& name, const std::string& expression, bool soundex,
               std::uint8_t order, bool unique, bool descending, KeyMaker keyMaker,
               void* userData) {
  LastErrorCode = 0;
  if (AllTrim(name).empty()) {
    ReportError(220, "index filename not specified [MakeIndex()]");
    return;
  }
  const std::string path = IndexFilePath(name);
  WorkArea* area = Area();
  if (area == nullptr || area->state == kClosed) {
    ReportError(215, "database not open attempting to index to" + path + ".");
    return;
  }
  if (expression.empty() && keyMaker == nullptr) {
    ReportError(254, "Neither Expression nor KeyMaker defined");
    return;
  }
  QuietErrors quiet;
  bool reopened = false;
  const std::int32_t recNo = area->recNo;
  {
    IndexDescriptor d;
    d.order = order;
    d.name = path;
    d.keyMaker = keyMaker;
    d.userData = userData;
    d.soundex = soundex;
    d.descending = descending;
    RefreshRecCount();
    if (OpenInAnyArea(path)) {
      ReportError(214, path);
    } else if (PrepareKey(d, expression, unique) && TakeOldFile(*area, path, reopened)) {
      d.expression = keyMaker != nullptr ? std::string(kKeyMakerIndexText)
                                         : NormalizeKeyExpression(expression);
      if (area->tableIsOem && keyMaker == nullptr) d.expression = StrToOem(d.expression);
      NewIndexFile newFile(path);
      if (const int code = newFile.Start(d); code != 0) {
        if (code > 0) ReportError(static_cast<std::uint16_t>(code), "File not open " + path);
      } else {
        try {
          Build(d, *area, path).Run();
        } catch (const std::bad_alloc&) {
          ReportError(217, " to allocate RW buffer [MakeIndex]");
        }
        if (LastErrorCode == 0) newFile.Place(d.file, path);
      }
    }
  }
  const std::uint16_t code = LastErrorCode;
  const std::string message = LastErrorMessage;
  RestoreRecord(*area, recNo);
  if (reopened) ReopenDbf(false);
  LastErrorCode = 0;
  if (code != 0) ReportError(code, message + Suffix(path));
  quiet.Finish();
}

}  // namespace dadav
