// A script result as the automation boundary hands it over: undefined, null, a boolean, a number,
// a text, or an object (kept as its string form). The conversions follow the automation variant
// rules the callers rely on: true reads as -1 and "-1", false as 0 and "0".
#pragma once

#include <string>

class ScriptValue {
 public:
  enum class Kind { Undefined, Null, Boolean, Number, Text, Object };

  ScriptValue() = default;
  static ScriptValue Null();
  static ScriptValue Boolean(bool value);
  static ScriptValue Number(double value);
  static ScriptValue Text(std::u16string value);
  // `text` is the object's string form, taken by the engine when the value left it.
  static ScriptValue Object(std::u16string text);

  Kind kind() const { return kind_; }
  bool isUndefined() const { return kind_ == Kind::Undefined; }

  // Numbers are true when non-zero (NaN is false); texts when they read as a non-zero number
  // or as "true" in any letter case; objects are true; undefined and null are false.
  bool toBool() const;
  // Texts are read as decimal numbers (surrounding blanks allowed); anything unreadable is 0.
  double toNumber() const;
  // Whole numbers print without a fraction; others in the shortest form that reads back exactly.
  std::u16string toText() const;

 private:
  Kind kind_ = Kind::Undefined;
  double number_ = 0;
  std::u16string text_;
};
