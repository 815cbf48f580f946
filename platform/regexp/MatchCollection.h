// The matches of one Execute, in subject order.
#pragma once

#include <vector>

#include "Match.h"

class MatchCollection {
 public:
  void Add(Match match) { matches_.push_back(std::move(match)); }

  long Count() const { return static_cast<long>(matches_.size()); }
  // Null for an index out of range (0-based).
  const Match* Item(long index) const { return index >= 0 && index < Count() ? &matches_[index] : nullptr; }

 private:
  std::vector<Match> matches_;
};
