// The VBScript-dialect regular-expression component on PCRE2 with 16-bit code units.
//
// Dialect kept: "." matches anything but a line feed; without Multiline "$" matches only at the
// very end of the subject, with it "^" and "$" also match after and before each line feed;
// \uXXXX and \xXX escapes; "[]" matches nothing and "[^]" anything; a back reference to a group
// that has not matched matches empty text; an escaped letter without meaning in the dialect
// (\y, \Q, \K ...) is the letter itself and \v is the vertical tab only. Positions count UTF-16
// units, and surrogate halves are separate characters. Case folding covers ASCII letters only.
//
// A global search resumes one unit after an empty match. Matching stops after kMatchLimit steps
// of backtracking: Execute and Replace then fail instead of running for hours.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "MatchCollection.h"

class RegExp {
 public:
  static constexpr std::uint32_t kMatchLimit = 10'000'000;

  RegExp();
  ~RegExp();
  // Copies the settings; the copy compiles its pattern again on first use.
  RegExp(const RegExp& other);
  RegExp& operator=(const RegExp& other);

  bool IgnoreCase() const { return ignoreCase_; }
  void SetIgnoreCase(bool value);
  bool Multiline() const { return multiline_; }
  void SetMultiline(bool value);
  bool Global() const { return global_; }
  void SetGlobal(bool value);
  const std::u16string& Pattern() const { return pattern_; }
  void SetPattern(std::u16string_view pattern);

  // Every match (only the first unless Global); nothing when the pattern does not compile or
  // the match limit is hit (see LastError()).
  std::optional<MatchCollection> Execute(std::u16string_view subject) const;
  // The subject with the matches (only the first unless Global) replaced. The replacement may
  // refer to groups with $1 .. $99, to the match with $&, to the text before and after it with
  // $` and $', and writes a dollar sign as $$; any other "$" is itself.
  std::optional<std::u16string> Replace(std::u16string_view subject, std::u16string_view replacement) const;

  // Why the last Execute or Replace failed; empty after one that succeeded.
  const std::u16string& LastError() const { return lastError_; }

 private:
  struct Compiled;
  template <typename Visit>
  bool forEachMatch(std::u16string_view subject, Visit visit) const;
  bool compile() const;
  void forget();

  bool ignoreCase_ = false;
  bool multiline_ = false;
  bool global_ = false;
  std::u16string pattern_;
  // The compiled pattern is a cache of the settings above, made on first use.
  mutable std::u16string lastError_;
  mutable std::unique_ptr<Compiled> compiled_;
};
