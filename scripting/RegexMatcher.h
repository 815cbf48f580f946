// One regular expression (VBScript dialect) applied once to one subject; answers the number,
// texts and byte positions of the matches and groups, and replaces matches.
//
// Texts are code page 936. Positions are 0-based byte offsets into the subject, counted exactly
// from the engine's character index of the match or group; -1 when there is no such match or
// group, or the group did not take part in the match.
//
// Making a matcher initialises COM on the calling thread and destroying it uninitialises it
// there; a matcher belongs to the thread that made it.
#pragma once

#include <optional>
#include <string>

#include "platform/regexp/RegExp.h"
#include "shell/SharedTypes.h"

class RegexMatcher {
 public:
  RegexMatcher();
  ~RegexMatcher();
  // The copy has its own engine with the same settings, the same matches and subject.
  RegexMatcher(const RegexMatcher& other);
  RegexMatcher& operator=(const RegexMatcher& other);

  // With `quotePlaceholder`, every "#引号" in the expression stands for a double quote. False
  // when the expression does not compile or matching gives up (see RegExp::kMatchLimit); the
  // matches of an earlier create are forgotten either way.
  bool create(const AnsiText& expression, const AnsiText& subject, bool caseSensitive = false,
              bool multiLine = true, bool global = true, bool quotePlaceholder = false);
  // Empty before create.
  AnsiText pattern() const;
  // The subject with the matches replaced ($1 .. $99, $&, $`, $', $$); empty before create or
  // when the expression does not compile.
  AnsiText replace(const AnsiText& replacement) const;
  int matchCount() const;
  // Match numbers start at 1. Empty text for a number out of range.
  AnsiText matchText(int matchNumber, int* position = nullptr) const;
  // Group numbers start at 1. Empty text for numbers out of range or a group that did not match.
  AnsiText subMatchText(int matchNumber, int groupNumber, int* position = nullptr) const;
  // The number of groups of the first match; 0 when there is no match.
  int subMatchCount() const;

 private:
  int byteOffset(long firstIndex) const;

  std::optional<RegExp> engine_;
  std::optional<MatchCollection> matches_;
  std::u16string subject_;
  // The last UTF-16 index turned into a byte offset, so positions asked in order cost linear time.
  mutable long cursorIndex_ = 0;
  mutable int cursorOffset_ = 0;
};
