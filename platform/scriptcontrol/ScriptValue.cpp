#include "ScriptValue.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t unit : text) out.push_back(unit < 0x80 ? static_cast<char>(unit) : '\x7f');
  return out;
}

std::u16string Widen(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

ScriptValue ScriptValue::Null() {
  ScriptValue value;
  value.kind_ = Kind::Null;
  return value;
}

ScriptValue ScriptValue::Boolean(bool flag) {
  ScriptValue value;
  value.kind_ = Kind::Boolean;
  value.number_ = flag ? -1 : 0;
  return value;
}

ScriptValue ScriptValue::Number(double number) {
  ScriptValue value;
  value.kind_ = Kind::Number;
  value.number_ = number;
  return value;
}

ScriptValue ScriptValue::Text(std::u16string text) {
  ScriptValue value;
  value.kind_ = Kind::Text;
  value.text_ = std::move(text);
  return value;
}

ScriptValue ScriptValue::Object(std::u16string text) {
  ScriptValue value;
  value.kind_ = Kind::Object;
  value.text_ = std::move(text);
  return value;
}

bool ScriptValue::toBool() const {
  switch (kind_) {
    case Kind::Boolean:
    case Kind::Number:
      return number_ != 0 && !std::isnan(number_);
    case Kind::Text: {
      std::string narrow = Narrow(text_);
      size_t begin = 0, end = narrow.size();
      while (begin < end && IsBlank(narrow[begin])) ++begin;
      while (end > begin && IsBlank(narrow[end - 1])) --end;
      std::string word = narrow.substr(begin, end - begin);
      for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (word == "true") return true;
      return toNumber() != 0;
    }
    case Kind::Object:
      return true;
    default:
      return false;
  }
}

double ScriptValue::toNumber() const {
  switch (kind_) {
    case Kind::Boolean:
    case Kind::Number:
      return number_;
    case Kind::Text: {
      std::string narrow = Narrow(text_);
      const char* begin = narrow.c_str();
      const char* end = begin + narrow.size();
      while (begin < end && IsBlank(*begin)) ++begin;
      while (end > begin && IsBlank(end[-1])) --end;
      if (begin < end && *begin == '+') ++begin;
      double number = 0;
      auto [stop, error] = std::from_chars(begin, end, number);
      if (error != std::errc() || stop != end || std::isnan(number)) return 0;
      return number;
    }
    default:
      return 0;
  }
}

std::u16string ScriptValue::toText() const {
  switch (kind_) {
    case Kind::Boolean:
      return number_ != 0 ? u"-1" : u"0";
    case Kind::Number: {
      if (std::isnan(number_)) return u"NaN";
      if (std::isinf(number_)) return number_ > 0 ? u"Infinity" : u"-Infinity";
      char buffer[64];
      auto [stop, error] =
          std::abs(number_) < 1e21 && number_ == std::trunc(number_)
              ? std::to_chars(buffer, buffer + sizeof buffer, number_, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, number_);
      if (error != std::errc()) return u"0";
      std::string text(buffer, stop);
      if (text == "-0") text = "0";
      return Widen(text);
    }
    case Kind::Text:
    case Kind::Object:
      return text_;
    default:
      return u"";
  }
}
