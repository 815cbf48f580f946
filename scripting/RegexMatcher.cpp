#include "scripting/RegexMatcher.h"

#include "platform/win32/Win32.h"
#include "scripting/ScriptText.h"

namespace {

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  for (size_t at = text.find(from); at != std::u16string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace

RegexMatcher::RegexMatcher() {
  CoInitialize(nullptr);
}

RegexMatcher::~RegexMatcher() {
  CoUninitialize();
}

RegexMatcher::RegexMatcher(const RegexMatcher& other)
    : engine_(other.engine_), matches_(other.matches_), subject_(other.subject_) {
  CoInitialize(nullptr);
}

RegexMatcher& RegexMatcher::operator=(const RegexMatcher& other) {
  if (this != &other) {
    engine_ = other.engine_;
    matches_ = other.matches_;
    subject_ = other.subject_;
    cursorIndex_ = 0;
    cursorOffset_ = 0;
  }
  return *this;
}

bool RegexMatcher::create(const AnsiText& expression, const AnsiText& subject, bool caseSensitive,
                          bool multiLine, bool global, bool quotePlaceholder) {
  engine_.reset();
  matches_.reset();
  cursorIndex_ = 0;
  cursorOffset_ = 0;
  RegExp& engine = engine_.emplace();
  engine.SetIgnoreCase(!caseSensitive);
  engine.SetMultiline(multiLine);
  engine.SetGlobal(global);
  std::u16string source = ToScriptText(expression);
  if (quotePlaceholder) ReplaceAll(source, u"#引号", u"\"");
  engine.SetPattern(source);
  subject_ = ToScriptText(subject);
  matches_ = engine.Execute(subject_);
  return matches_.has_value();
}

AnsiText RegexMatcher::pattern() const {
  return engine_ ? FromScriptText(engine_->Pattern()) : AnsiText();
}

AnsiText RegexMatcher::replace(const AnsiText& replacement) const {
  if (!engine_) return {};
  std::optional<std::u16string> replaced = engine_->Replace(subject_, ToScriptText(replacement));
  return replaced ? FromScriptText(*replaced) : AnsiText();
}

int RegexMatcher::matchCount() const {
  return matches_ ? static_cast<int>(matches_->Count()) : 0;
}

AnsiText RegexMatcher::matchText(int matchNumber, int* position) const {
  const Match* match = matches_ ? matches_->Item(matchNumber - 1) : nullptr;
  if (position) *position = match ? byteOffset(match->FirstIndex()) : -1;
  return match ? FromScriptText(match->Value()) : AnsiText();
}

AnsiText RegexMatcher::subMatchText(int matchNumber, int groupNumber, int* position) const {
  const Match* match = matches_ ? matches_->Item(matchNumber - 1) : nullptr;
  long index = match ? match->SubMatches().FirstIndex(groupNumber - 1) : -1;
  if (position) *position = index >= 0 ? byteOffset(index) : -1;
  return match ? FromScriptText(match->SubMatches().Item(groupNumber - 1)) : AnsiText();
}

int RegexMatcher::subMatchCount() const {
  const Match* first = matches_ ? matches_->Item(0) : nullptr;
  return first ? static_cast<int>(first->SubMatches().Count()) : 0;
}

// The subject's characters each convert on their own, so the code-page-936 length of the UTF-16
// prefix is the byte offset.
int RegexMatcher::byteOffset(long firstIndex) const {
  if (firstIndex < cursorIndex_) {
    cursorIndex_ = 0;
    cursorOffset_ = 0;
  }
  std::u16string_view gap = std::u16string_view(subject_).substr(cursorIndex_, firstIndex - cursorIndex_);
  if (!gap.empty())
    cursorOffset_ += WideCharToMultiByte(CP_GBK, 0, gap.data(), static_cast<int>(gap.size()), nullptr, 0,
                                         nullptr, nullptr);
  cursorIndex_ = firstIndex;
  return cursorOffset_;
}
