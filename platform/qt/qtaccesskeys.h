// Access keys of the captions of one menu or menu bar: the letter after "&" picks an item from
// the keyboard only when no other item of the same menu shows the same letter.
#pragma once

#include <QString>
#include <vector>

namespace platform::qt {

// The captions as shown, in the same order, each with at most one access key. A caption keeps
// its first marked letter when no caption before it took that letter; the others move to a
// free letter: another marked one, the first of a word, then any ASCII letter or digit. A
// caption without a mark gets none, and one with no free letter keeps its first mark. "&&"
// stands for "&" and is kept.
std::vector<QString> WithDistinctAccessKeys(const std::vector<QString>& captions);

}  // namespace platform::qt
