// The captured groups of one match, numbered from 0 here (group 1 of the pattern is Item(0)).
// A group that did not take part in the match reads as empty text at index -1.
#pragma once

#include <string>
#include <vector>

class SubMatches {
 public:
  void Add(std::u16string value, long firstIndex) {
    values_.push_back(std::move(value));
    firstIndexes_.push_back(firstIndex);
  }

  long Count() const { return static_cast<long>(values_.size()); }
  // Empty text for an index out of range or a group that did not match.
  std::u16string Item(long index) const { return Valid(index) ? values_[index] : std::u16string(); }
  // UTF-16 index of the group in the subject; -1 when out of range or unmatched.
  long FirstIndex(long index) const { return Valid(index) ? firstIndexes_[index] : -1; }

 private:
  bool Valid(long index) const { return index >= 0 && index < Count(); }

  std::vector<std::u16string> values_;
  std::vector<long> firstIndexes_;
};
