// One match of a regular expression: its text, where it starts in the subject (UTF-16 units)
// and its captured groups.
#pragma once

#include <string>

#include "SubMatches.h"

class Match {
 public:
  Match(std::u16string value, long firstIndex, SubMatches groups)
      : value_(std::move(value)), firstIndex_(firstIndex), groups_(std::move(groups)) {}

  const std::u16string& Value() const { return value_; }
  long FirstIndex() const { return firstIndex_; }
  long Length() const { return static_cast<long>(value_.size()); }
  const ::SubMatches& SubMatches() const { return groups_; }

 private:
  std::u16string value_;
  long firstIndex_;
  ::SubMatches groups_;
};
