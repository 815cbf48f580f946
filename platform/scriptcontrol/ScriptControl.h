// The script control: one JavaScript engine (Duktape) behind the members the launcher calls on
// the automation object. Texts cross as UTF-16, as at the automation boundary.
//
// Every engine call is protected: a script error makes the member fail (false, an undefined
// result) and leaves the engine usable; the message is kept in lastError(). Runaway scripts are
// bounded: the heap is capped (memoryLimit) and each AddCode, Eval, ExecuteStatement or Run may
// execute for at most timeLimitMs milliseconds, after which it fails as a script error
// ("execution timeout"). Compiling a very large text is not interrupted. The engine has no host
// bindings (no files, no network, no timers): code it runs can only reach its own variables.
//
// Link the `scriptcontrol` target only: its engine is built with the time check, and must not be
// mixed with the packaged libduktape in one program.
//
// An engine is not thread-safe; it belongs to the thread that uses it.
#pragma once

// (No <chrono> here: the header is included by code compiled for code page 936, which the
// library's micro sign cannot be converted to.)
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ScriptValue.h"

struct duk_hthread;
struct ScriptEngineBudget;

class ScriptControl {
 public:
  static constexpr std::size_t kDefaultMemoryLimit = 256u << 20;
  static constexpr unsigned kDefaultTimeLimitMs = 5000;

  explicit ScriptControl(std::size_t memoryLimit = kDefaultMemoryLimit,
                         unsigned timeLimitMs = kDefaultTimeLimitMs);
  ~ScriptControl();
  ScriptControl(const ScriptControl&) = delete;
  ScriptControl& operator=(const ScriptControl&) = delete;

  // "JScript" and "JavaScript" (any letter case) are accepted; anything else fails. Until a
  // language is set, AddCode, Eval, ExecuteStatement and Run fail.
  bool SetLanguage(std::u16string_view language);
  const std::u16string& Language() const { return language_; }

  // Runs `code` as global code: its declarations become globals. False on a syntax or run error.
  bool AddCode(std::u16string_view code);
  // Evaluates `expression` in global scope (a `var` in it declares a global) and returns its
  // value; undefined on error (see lastError()).
  ScriptValue Eval(std::u16string_view expression);
  // As AddCode, for one statement.
  bool ExecuteStatement(std::u16string_view statement);
  // Calls the global function `name` with text arguments; undefined when it is missing, is not
  // callable or throws.
  ScriptValue Run(std::u16string_view name, const std::vector<std::u16string>& arguments = {});

  // Message of the last failure, empty after a member that succeeded.
  const std::u16string& lastError() const { return lastError_; }

 private:
  struct ContextDeleter {
    void operator()(duk_hthread* context) const;
  };

  bool ready();
  bool runGlobalCode(std::u16string_view code, bool asEval);
  ScriptValue takeResult(int status);

  std::unique_ptr<ScriptEngineBudget> budget_;
  std::unique_ptr<duk_hthread, ContextDeleter> context_;
  std::u16string language_;
  std::u16string lastError_;
};
