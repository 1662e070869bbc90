#include "platform/qt/qtaccesskeys.h"

#include <set>

namespace platform::qt {

namespace {

// A caption split into its shown text ("&&" read as "&") and the positions of its marked
// letters in that text.
struct MarkedCaption {
  QString shown;
  std::vector<qsizetype> marks;
};

MarkedCaption Split(const QString& caption) {
  MarkedCaption split;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&') split.marks.push_back(split.shown.size());
    }
    split.shown += caption[i];
  }
  return split;
}

QString Joined(const QString& shown, qsizetype mark) {
  QString caption;
  for (qsizetype i = 0; i < shown.size(); ++i) {
    if (i == mark) caption += '&';
    caption += shown[i];
    if (shown[i] == '&') caption += '&';
  }
  return caption;
}

bool IsAsciiLetterOrDigit(QChar c) {
  return c.unicode() < 0x80 && c.isLetterOrNumber();
}

// The letters a caption may take, best first.
std::vector<qsizetype> Candidates(const MarkedCaption& caption) {
  std::vector<qsizetype> candidates = caption.marks;
  const QString& shown = caption.shown;
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const bool wordStart = i == 0 || !shown[i - 1].isLetterOrNumber();
    if (wordStart && IsAsciiLetterOrDigit(shown[i])) candidates.push_back(i);
  }
  for (qsizetype i = 0; i < shown.size(); ++i) {
    if (IsAsciiLetterOrDigit(shown[i])) candidates.push_back(i);
  }
  return candidates;
}

QChar KeyAt(const MarkedCaption& caption, qsizetype position) {
  return caption.shown[position].toLower();
}

}  // namespace

std::vector<QString> WithDistinctAccessKeys(const std::vector<QString>& captions) {
  std::vector<MarkedCaption> split;
  for (const QString& caption : captions) split.push_back(Split(caption));
  std::vector<qsizetype> chosen(split.size(), -1);
  std::set<QChar> taken;
  // Every caption whose own first mark is free keeps it, so that only the later of two
  // captions with one letter moves.
  for (std::size_t i = 0; i < split.size(); ++i) {
    if (split[i].marks.empty()) continue;
    if (taken.insert(KeyAt(split[i], split[i].marks.front())).second) {
      chosen[i] = split[i].marks.front();
    }
  }
  for (std::size_t i = 0; i < split.size(); ++i) {
    if (split[i].marks.empty() || chosen[i] >= 0) continue;
    chosen[i] = split[i].marks.front();
    for (qsizetype candidate : Candidates(split[i])) {
      if (taken.insert(KeyAt(split[i], candidate)).second) {
        chosen[i] = candidate;
        break;
      }
    }
  }
  std::vector<QString> result;
  for (std::size_t i = 0; i < split.size(); ++i)
    result.push_back(Joined(split[i].shown, chosen[i]));
  return result;
}

}  // namespace platform::qt
