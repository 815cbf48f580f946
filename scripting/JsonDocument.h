// One JSON value held in a variable of its own JavaScript engine, read and changed by path.
// Paths are JavaScript member expressions relative to the document ("lives[0].temperature",
// "[2].name"); an empty path is the whole value. Texts in and out are code page 936.
//
// Texts stored with setValue keep each backslash as U+2400 inside the engine; every operation
// that returns text turns it back into a backslash.
//
// Failures are quiet: an operation on a document without an engine, a path that does not exist
// or a script error yields false, empty text, 0 or type code 0. Mutating operations report
// whether their script ran, not the value they assigned.
//
// parse runs the text as JavaScript: the engine has no host bindings, a capped heap and a time
// limit per call (see ScriptControl), so a hostile text can only make parse fail.
//
// Copies share one engine (and so one value). A document initialises COM on the thread that
// creates it and uninitialises it when destroyed; it belongs to that thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/scriptcontrol/ScriptValue.h"
#include "shell/SharedTypes.h"

class ScriptControl;

class JsonDocument {
 public:
  // Type codes of typeOf.
  enum TypeCode {
    kTypeOther = -1,
    kTypeNone = 0,
    kTypeBoolean = 1,
    kTypeNumber = 2,
    kTypeObject = 4,
    kTypeArray = 5,
    kTypeString = 6
  };

  JsonDocument();
  ~JsonDocument();
  JsonDocument(const JsonDocument& other);
  JsonDocument& operator=(const JsonDocument& other);

  const AnsiText& name() const { return name_; }
  void setName(const AnsiText& name) { name_ = name; }

  // Makes the engine, loads the support script and sets the value to the empty object.
  bool create();
  // Replaces the value by `text` (evaluated as a JavaScript expression, or with `literal` taken as
  // the right-hand side of an assignment); true when the result is neither null nor undefined.
  bool parse(const AnsiText& text, bool literal = false);
  bool clear();
  AnsiText toJson();
  // Stores `value` as a text, or with `json` as JSON; a JSON object stored where an object is
  // already merges into it (members of simple types are replaced, objects merged, arrays appended).
  bool setValue(const AnsiText& path, const AnsiText& value, bool json = false);
  bool setJson(const AnsiText& path, const AnsiText& json);
  // Turns `path` into an expression on the document's variable; true when a value is there.
  bool resolvePath(AnsiText& path);
  bool exists(const AnsiText& path = "");
  int typeOf(const AnsiText& path = "");
  AnsiText getText(const AnsiText& path = "", bool json = false);
  // Names of the members of the object at `path`; none for anything else.
  int memberNames(std::vector<AnsiText>& names, const AnsiText& path = "");
  // Length of the array at `path`; 0 for anything else.
  int count(const AnsiText& path = "");
  // A new document holding a copy of the value at `path`.
  JsonDocument getObject(const AnsiText& path = "");
  // Without `json` the value is put between single quotes unchanged, so a text holding a single
  // quote fails. A path that holds no array becomes an empty array first.
  bool addToArray(const AnsiText& value, const AnsiText& path = "", bool json = false, bool front = false);
  JsonDocument getArrayItemObject(int index, const AnsiText& path = "");
  AnsiText getArrayItemText(int index, const AnsiText& path = "", bool json = false);
  bool setArrayItem(int index, const AnsiText& path, const AnsiText& value, bool json = false);
  bool removeArrayItem(int index, const AnsiText& path = "");
  bool remove(const AnsiText& path);
  bool setNumber(const AnsiText& path, double number);
  double getNumber(const AnsiText& path = "");
  AnsiText getJsonText(const AnsiText& path = "");
  // The engine itself, shared with this document; null before create.
  std::shared_ptr<ScriptControl> scriptObject() const { return engine_; }
  // Every string, number and boolean under `path` (descending into objects and arrays when
  // `recursive`), as texts. A text holding "[2020年7月20日20时0分0秒]" comes out split there.
  int allValues(std::vector<AnsiText>& values, const AnsiText& path = "", bool recursive = false);

 private:
  ScriptValue evaluate(const std::u16string& script, bool* succeeded = nullptr);
  bool runs(const std::u16string& script);
  std::u16string evaluateText(const std::u16string& script);
  // The expression for `path` and whether a value is there.
  bool resolveInto(const AnsiText& path, std::u16string& expression);
  std::u16string resolved(const AnsiText& path);
  bool parseScript(const std::u16string& text, bool literal);
  JsonDocument documentFrom(const std::u16string& jsonExpression);
  void release();

  AnsiText name_;
  std::shared_ptr<ScriptControl> engine_;
  bool comInitialised_ = false;
};

// Names the document "da" and creates it.
bool NewJsonDocument(JsonDocument& document);
