#include "ScriptControl.h"

#include <duktape.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "EngineText.h"

// What one engine may spend: heap bytes and, during a call, time. Each heap block carries its
// size in front of it so the total can be counted.
struct ScriptEngineBudget {
  using Clock = std::chrono::steady_clock;

  std::size_t limit;
  std::chrono::milliseconds timeLimit;
  std::size_t used = 0;
  Clock::time_point deadline = Clock::time_point::max();

  static constexpr std::size_t kHeader = alignof(std::max_align_t);

  static void* Allocate(void* self, duk_size_t size) { return Reallocate(self, nullptr, size); }

  static void* Reallocate(void* self, void* block, duk_size_t size) {
    auto* budget = static_cast<ScriptEngineBudget*>(self);
    std::size_t old = 0;
    char* base = nullptr;
    if (block) {
      base = static_cast<char*>(block) - kHeader;
      std::memcpy(&old, base, sizeof old);
    }
    if (size == 0) {
      std::free(base);
      budget->used -= old;
      return nullptr;
    }
    if (size > old && size - old > budget->limit - budget->used) return nullptr;
    auto* grown = static_cast<char*>(std::realloc(base, kHeader + size));
    if (!grown) return nullptr;
    budget->used = budget->used - old + size;
    std::memcpy(grown, &size, sizeof size);
    return grown + kHeader;
  }

  static void Free(void* self, void* block) {
    if (block) Reallocate(self, block, 0);
  }

  // Only reached on an error outside a protected call or an internal failure; the engine's
  // state is undefined then, so the process stops loudly.
  [[noreturn]] static void Fatal(void*, const char* message) {
    std::fprintf(stderr, "script engine: fatal error: %s\n", message ? message : "");
    std::abort();
  }
};

// Called by the engine from time to time while it executes; true stops the running call.
extern "C" int QbScriptTimedOut(void* udata) {
  auto* budget = static_cast<ScriptEngineBudget*>(udata);
  return budget->deadline != ScriptEngineBudget::Clock::time_point::max() &&
         ScriptEngineBudget::Clock::now() >= budget->deadline;
}

namespace {

// Opens the time allowance of one call into the engine and closes it again.
class CallDeadline {
 public:
  explicit CallDeadline(ScriptEngineBudget& budget) : budget_(budget) {
    budget_.deadline = ScriptEngineBudget::Clock::now() + budget_.timeLimit;
  }
  ~CallDeadline() { budget_.deadline = ScriptEngineBudget::Clock::time_point::max(); }
  CallDeadline(const CallDeadline&) = delete;
  CallDeadline& operator=(const CallDeadline&) = delete;

 private:
  ScriptEngineBudget& budget_;
};

}  // namespace

void ScriptControl::ContextDeleter::operator()(duk_hthread* context) const {
  duk_destroy_heap(context);
}

ScriptControl::ScriptControl(std::size_t memoryLimit, unsigned timeLimitMs)
    : budget_(new ScriptEngineBudget{memoryLimit, std::chrono::milliseconds(timeLimitMs)}) {
  context_.reset(duk_create_heap(&ScriptEngineBudget::Allocate, &ScriptEngineBudget::Reallocate,
                                 &ScriptEngineBudget::Free, budget_.get(), &ScriptEngineBudget::Fatal));
}

ScriptControl::~ScriptControl() = default;

bool ScriptControl::SetLanguage(std::u16string_view language) {
  std::u16string lower(language);
  for (char16_t& unit : lower)
    if (unit >= u'A' && unit <= u'Z') unit = static_cast<char16_t>(unit - u'A' + u'a');
  if (lower != u"jscript" && lower != u"javascript") {
    lastError_ = u"unsupported script language";
    return false;
  }
  language_ = language;
  lastError_.clear();
  return true;
}

bool ScriptControl::ready() {
  if (!context_) {
    lastError_ = u"script engine could not be created";
    return false;
  }
  if (language_.empty()) {
    lastError_ = u"no script language set";
    return false;
  }
  lastError_.clear();
  return true;
}

bool ScriptControl::AddCode(std::u16string_view code) {
  return runGlobalCode(code, false);
}

bool ScriptControl::ExecuteStatement(std::u16string_view statement) {
  return runGlobalCode(statement, false);
}

bool ScriptControl::runGlobalCode(std::u16string_view code, bool asEval) {
  if (!ready()) return false;
  duk_context* ctx = context_.get();
  duk_idx_t top = duk_get_top(ctx);
  std::string source = ToEngineText(code);
  duk_uint_t flags = DUK_COMPILE_SAFE | DUK_COMPILE_NOSOURCE | DUK_COMPILE_NOFILENAME;
  if (asEval) flags |= DUK_COMPILE_EVAL;
  CallDeadline deadline(*budget_);
  int status = duk_eval_raw(ctx, source.data(), source.size(), flags);
  bool succeeded = status == DUK_EXEC_SUCCESS;
  if (!succeeded) takeResult(status);
  duk_set_top(ctx, top);
  return succeeded;
}

ScriptValue ScriptControl::Eval(std::u16string_view expression) {
  if (!ready()) return {};
  duk_context* ctx = context_.get();
  duk_idx_t top = duk_get_top(ctx);
  std::string source = ToEngineText(expression);
  CallDeadline deadline(*budget_);
  int status =
      duk_eval_raw(ctx, source.data(), source.size(),
                   DUK_COMPILE_EVAL | DUK_COMPILE_SAFE | DUK_COMPILE_NOSOURCE | DUK_COMPILE_NOFILENAME);
  ScriptValue result = takeResult(status);
  duk_set_top(ctx, top);
  return result;
}

ScriptValue ScriptControl::Run(std::u16string_view name, const std::vector<std::u16string>& arguments) {
  if (!ready()) return {};
  duk_context* ctx = context_.get();
  duk_idx_t top = duk_get_top(ctx);
  std::string key = ToEngineText(name);
  duk_push_global_object(ctx);
  duk_get_prop_lstring(ctx, -1, key.data(), key.size());
  ScriptValue result;
  if (!duk_is_callable(ctx, -1)) {
    lastError_ = u"no such function: " + std::u16string(name);
  } else {
    for (const std::u16string& argument : arguments) {
      std::string text = ToEngineText(argument);
      duk_push_lstring(ctx, text.data(), text.size());
    }
    CallDeadline deadline(*budget_);
    result = takeResult(duk_pcall(ctx, static_cast<duk_idx_t>(arguments.size())));
  }
  duk_set_top(ctx, top);
  return result;
}

namespace {

// Replaces the value on the stack top by its string form without letting a throwing toString()
// escape.
std::u16string SafeText(duk_context* ctx) {
  duk_size_t length = 0;
  const char* bytes = duk_safe_to_lstring(ctx, -1, &length);
  return FromEngineText(std::string_view(bytes ? bytes : "", bytes ? length : 0));
}

}  // namespace

// Reads the value a protected call left on the stack top; on failure records its message.
ScriptValue ScriptControl::takeResult(int status) {
  duk_context* ctx = context_.get();
  if (status != DUK_EXEC_SUCCESS) {
    lastError_ = SafeText(ctx);
    if (lastError_.empty()) lastError_ = u"script error";
    return {};
  }
  switch (duk_get_type(ctx, -1)) {
    case DUK_TYPE_UNDEFINED:
    case DUK_TYPE_NONE:
      return {};
    case DUK_TYPE_NULL:
      return ScriptValue::Null();
    case DUK_TYPE_BOOLEAN:
      return ScriptValue::Boolean(duk_get_boolean(ctx, -1));
    case DUK_TYPE_NUMBER:
      return ScriptValue::Number(duk_get_number(ctx, -1));
    case DUK_TYPE_STRING:
      return ScriptValue::Text(SafeText(ctx));
    default:
      return ScriptValue::Object(SafeText(ctx));
  }
}
