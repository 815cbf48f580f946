#define PCRE2_CODE_UNIT_WIDTH 16
#include "RegExp.h"

#include <pcre2.h>

#include <algorithm>

namespace {

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct CompileContextDeleter {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};

bool IsAsciiLetter(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

// Escaped letters that mean the same in the dialect and in PCRE2.
bool KeepsEscape(char16_t letter) {
  return std::u16string_view(u"bBdDwWsStnrfxu").find(letter) != std::u16string_view::npos;
}

// Rewrites the escapes whose meaning differs between the dialect and PCRE2.
std::u16string TranslatePattern(std::u16string_view pattern) {
  std::u16string out;
  out.reserve(pattern.size() + 8);
  for (size_t i = 0; i < pattern.size(); ++i) {
    char16_t unit = pattern[i];
    if (unit != u'\\' || i + 1 == pattern.size()) {
      out.push_back(unit);
      continue;
    }
    char16_t next = pattern[++i];
    if (next == u'v') {
      out += u"\\x0b";
    } else if (next == u'c') {
      // A control escape needs a letter; otherwise the dialect reads a backslash and a "c".
      if (i + 1 < pattern.size() && IsAsciiLetter(pattern[i + 1]))
        out += u"\\c";
      else
        out += u"\\\\c";
    } else if (IsAsciiLetter(next) && !KeepsEscape(next)) {
      out.push_back(next);
    } else {
      out.push_back(u'\\');
      out.push_back(next);
    }
  }
  return out;
}

std::u16string ErrorText(int code) {
  PCRE2_UCHAR buffer[256];
  int length = pcre2_get_error_message(code, buffer, 256);
  if (length < 0) return u"regular expression error";
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length));
}

}  // namespace

struct RegExp::Compiled {
  std::unique_ptr<pcre2_code, CodeDeleter> code;
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
  std::unique_ptr<pcre2_match_context, MatchContextDeleter> context;
  uint32_t groups = 0;
};

RegExp::RegExp() = default;
RegExp::~RegExp() = default;

RegExp::RegExp(const RegExp& other)
    : ignoreCase_(other.ignoreCase_),
      multiline_(other.multiline_),
      global_(other.global_),
      pattern_(other.pattern_),
      lastError_(other.lastError_) {}

RegExp& RegExp::operator=(const RegExp& other) {
  if (this != &other) {
    ignoreCase_ = other.ignoreCase_;
    multiline_ = other.multiline_;
    global_ = other.global_;
    pattern_ = other.pattern_;
    lastError_ = other.lastError_;
    forget();
  }
  return *this;
}

void RegExp::forget() {
  compiled_.reset();
}

void RegExp::SetIgnoreCase(bool value) {
  if (value != ignoreCase_) forget();
  ignoreCase_ = value;
}

void RegExp::SetMultiline(bool value) {
  if (value != multiline_) forget();
  multiline_ = value;
}

void RegExp::SetGlobal(bool value) {
  global_ = value;
}

void RegExp::SetPattern(std::u16string_view pattern) {
  forget();
  pattern_ = pattern;
}

bool RegExp::compile() const {
  if (compiled_) return true;
  std::unique_ptr<pcre2_compile_context, CompileContextDeleter> compileContext(
      pcre2_compile_context_create(nullptr));
  if (!compileContext) return lastError_ = u"out of memory", false;
  pcre2_set_newline(compileContext.get(), PCRE2_NEWLINE_LF);

  uint32_t options = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UTF |
                     PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C;
  options |= ignoreCase_ ? PCRE2_CASELESS : 0;
  options |= multiline_ ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
  std::u16string translated = TranslatePattern(pattern_);
  int error = 0;
  PCRE2_SIZE offset = 0;
  auto compiled = std::make_unique<Compiled>();
  compiled->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(),
                                     options, &error, &offset, compileContext.get()));
  if (!compiled->code) return lastError_ = ErrorText(error), false;
  // The JIT is only a speed-up; the interpreter serves when it is unavailable.
  pcre2_jit_compile(compiled->code.get(), PCRE2_JIT_COMPLETE);
  compiled->data.reset(pcre2_match_data_create_from_pattern(compiled->code.get(), nullptr));
  compiled->context.reset(pcre2_match_context_create(nullptr));
  if (!compiled->data || !compiled->context) return lastError_ = u"out of memory", false;
  pcre2_set_match_limit(compiled->context.get(), kMatchLimit);
  pcre2_pattern_info(compiled->code.get(), PCRE2_INFO_CAPTURECOUNT, &compiled->groups);
  compiled_ = std::move(compiled);
  return true;
}

// Calls visit(ovector) for every match in order (only the first unless Global). False when the
// pattern does not compile or matching fails.
template <typename Visit>
bool RegExp::forEachMatch(std::u16string_view subject, Visit visit) const {
  lastError_.clear();
  if (!compile()) return false;
  auto text = reinterpret_cast<PCRE2_SPTR>(subject.data());
  size_t start = 0;
  while (start <= subject.size()) {
    int result = pcre2_match(compiled_->code.get(), text, subject.size(), start, 0, compiled_->data.get(),
                             compiled_->context.get());
    // The compiled matcher's small stack runs out on deep backtracking; the interpreter keeps
    // its backtracking on the heap and gets the same answer.
    if (result == PCRE2_ERROR_JIT_STACKLIMIT)
      result = pcre2_match(compiled_->code.get(), text, subject.size(), start, PCRE2_NO_JIT,
                           compiled_->data.get(), compiled_->context.get());
    if (result == PCRE2_ERROR_NOMATCH) break;
    if (result < 0) return lastError_ = ErrorText(result), false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(compiled_->data.get());
    visit(ovector);
    if (!global_) break;
    start = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
  }
  return true;
}

std::optional<MatchCollection> RegExp::Execute(std::u16string_view subject) const {
  MatchCollection matches;
  bool ran = forEachMatch(subject, [&](const PCRE2_SIZE* ovector) {
    SubMatches groups;
    for (uint32_t group = 1; group <= compiled_->groups; ++group) {
      PCRE2_SIZE begin = ovector[2 * group], end = ovector[2 * group + 1];
      if (begin == PCRE2_UNSET)
        groups.Add(std::u16string(), -1);
      else
        groups.Add(std::u16string(subject.substr(begin, end - begin)), static_cast<long>(begin));
    }
    size_t begin = ovector[0], end = std::max(ovector[0], ovector[1]);
    matches.Add(Match(std::u16string(subject.substr(begin, end - begin)), static_cast<long>(begin),
                      std::move(groups)));
  });
  if (!ran) return std::nullopt;
  return matches;
}

namespace {

// Appends the expansion of `replacement` for the match described by `ovector`.
void Expand(std::u16string& out, std::u16string_view replacement, std::u16string_view subject,
            const PCRE2_SIZE* ovector, uint32_t groups) {
  auto group = [&](uint32_t number) {
    PCRE2_SIZE begin = ovector[2 * number], end = ovector[2 * number + 1];
    if (begin != PCRE2_UNSET && end >= begin) out.append(subject.substr(begin, end - begin));
  };
  auto digit = [&](size_t at) -> int {
    return at < replacement.size() && replacement[at] >= u'0' && replacement[at] <= u'9'
               ? replacement[at] - u'0'
               : -1;
  };
  for (size_t i = 0; i < replacement.size(); ++i) {
    char16_t unit = replacement[i];
    if (unit != u'$' || i + 1 == replacement.size()) {
      out.push_back(unit);
      continue;
    }
    char16_t next = replacement[i + 1];
    int first = digit(i + 1), second = digit(i + 2);
    if (next == u'$') {
      out.push_back(u'$');
      ++i;
    } else if (next == u'&') {
      group(0);
      ++i;
    } else if (next == u'`') {
      out.append(subject.substr(0, ovector[0]));
      ++i;
    } else if (next == u'\'') {
      out.append(subject.substr(std::min<size_t>(std::max(ovector[0], ovector[1]), subject.size())));
      ++i;
    } else if (first >= 0 && second >= 0 && first * 10 + second >= 1 &&
               static_cast<uint32_t>(first * 10 + second) <= groups) {
      group(static_cast<uint32_t>(first * 10 + second));
      i += 2;
    } else if (first >= 1 && static_cast<uint32_t>(first) <= groups) {
      group(static_cast<uint32_t>(first));
      ++i;
    } else {
      out.push_back(u'$');
    }
  }
}

}  // namespace

std::optional<std::u16string> RegExp::Replace(std::u16string_view subject,
                                              std::u16string_view replacement) const {
  std::u16string out;
  size_t copied = 0;
  bool ran = forEachMatch(subject, [&](const PCRE2_SIZE* ovector) {
    size_t begin = ovector[0];
    out.append(subject.substr(copied, begin - copied));
    Expand(out, replacement, subject, ovector, compiled_->groups);
    copied = std::max(ovector[0], ovector[1]);
  });
  if (!ran) return std::nullopt;
  out.append(subject.substr(copied));
  return out;
}
