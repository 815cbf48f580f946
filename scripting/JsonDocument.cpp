#include "scripting/JsonDocument.h"

#include <climits>

#include "platform/scriptcontrol/ScriptControl.h"
#include "platform/win32/Win32.h"
#include "scripting/JsonSupportScript.h"
#include "scripting/ScriptText.h"

namespace {

// Closes a script that yields text: the engine's U+2400 marks become backslashes again.
constexpr std::u16string_view kRestoreBackslashes = u".replace(str_reg, '\\\\')";
constexpr std::u16string_view kValueSeparator = u"[2020年7月20日20时0分0秒]";

std::u16string operator+(std::u16string left, std::u16string_view right) {
  return left.append(right);
}

std::u16string Decimal(long number) {
  std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

// A text as the body of a single-quoted script string.
std::u16string QuotedBody(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 8);
  for (char16_t unit : text) {
    switch (unit) {
      case u'\\':
        out += u"\\\\";
        break;
      case u'\'':
        out += u"\\'";
        break;
      case u'"':
        out += u"\\\"";
        break;
      case u'\r':
        out += u"\\r";
        break;
      case u'\n':
        out += u"\\n";
        break;
      default:
        out.push_back(unit);
    }
  }
  return out;
}

// Toward zero, held to the range of int (an array may claim up to 2^32 - 1 members).
int Truncate(double number) {
  if (!(number > INT_MIN)) return number < 0 ? INT_MIN : 0;
  return number < INT_MAX ? static_cast<int>(number) : INT_MAX;
}

std::vector<AnsiText> Split(std::u16string_view text, std::u16string_view separator) {
  std::vector<AnsiText> parts;
  if (text.empty()) return parts;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::u16string_view::npos; at = text.find(separator, start)) {
    parts.push_back(FromScriptText(text.substr(start, at - start)));
    start = at + separator.size();
  }
  parts.push_back(FromScriptText(text.substr(start)));
  return parts;
}

}  // namespace

JsonDocument::JsonDocument() = default;

JsonDocument::~JsonDocument() {
  release();
}

JsonDocument::JsonDocument(const JsonDocument& other) : name_(other.name_), engine_(other.engine_) {
  if (engine_) comInitialised_ = (CoInitialize(nullptr), true);
}

JsonDocument& JsonDocument::operator=(const JsonDocument& other) {
  if (this != &other) {
    std::shared_ptr<ScriptControl> engine = other.engine_;
    release();
    name_ = other.name_;
    engine_ = std::move(engine);
    if (engine_) comInitialised_ = (CoInitialize(nullptr), true);
  }
  return *this;
}

void JsonDocument::release() {
  engine_.reset();
  if (comInitialised_) CoUninitialize();
  comInitialised_ = false;
}

ScriptValue JsonDocument::evaluate(const std::u16string& script, bool* succeeded) {
  ScriptValue value;
  if (engine_) value = engine_->Eval(script);
  if (succeeded) *succeeded = engine_ && engine_->lastError().empty();
  return value;
}

bool JsonDocument::runs(const std::u16string& script) {
  bool succeeded = false;
  evaluate(script, &succeeded);
  return succeeded;
}

std::u16string JsonDocument::evaluateText(const std::u16string& script) {
  bool succeeded = false;
  ScriptValue value = evaluate(script, &succeeded);
  return succeeded ? value.toText() : std::u16string();
}

bool JsonDocument::create() {
  if (!comInitialised_) comInitialised_ = (CoInitialize(nullptr), true);
  auto engine = std::make_shared<ScriptControl>();
  if (!engine->SetLanguage(u"JavaScript") || !engine->AddCode(JsonSupportScript())) return false;
  engine_ = std::move(engine);
  return runs(u"var " + ToScriptText(name_) +
              u" = {}, str_Code = String.fromCharCode(9216), str_reg = new RegExp(str_Code, 'g')");
}

bool JsonDocument::parse(const AnsiText& text, bool literal) {
  return parseScript(ToScriptText(text), literal);
}

bool JsonDocument::parseScript(const std::u16string& text, bool literal) {
  if (!engine_ && !create()) return false;
  std::u16string name = ToScriptText(name_);
  runs(u"var " + name + u" = null");
  engine_->AddCode(literal ? u"var " + name + u" = " + text : u"var " + name + u" = eval(" + text + u")");
  return evaluate(name + u" != null").toBool();
}

bool JsonDocument::clear() {
  return runs(ToScriptText(name_) + u" = {}");
}

AnsiText JsonDocument::toJson() {
  return FromScriptText(evaluateText(u"JSON.stringify(" + ToScriptText(name_) + u")" + kRestoreBackslashes));
}

bool JsonDocument::resolveInto(const AnsiText& path, std::u16string& expression) {
  std::u16string name = ToScriptText(name_);
  std::u16string given = ToScriptText(path);
  if (given.empty())
    expression = name;
  else if (given.front() == u'[')
    expression = name + given;
  else if (given.starts_with(name) && evaluate(given + u" != null").toBool())
    expression = given;
  else
    expression = name + u"." + given;
  return evaluate(expression + u" != null").toBool();
}

std::u16string JsonDocument::resolved(const AnsiText& path) {
  std::u16string expression;
  resolveInto(path, expression);
  return expression;
}

bool JsonDocument::resolvePath(AnsiText& path) {
  std::u16string expression;
  bool exists = resolveInto(path, expression);
  path = FromScriptText(expression);
  return exists;
}

bool JsonDocument::exists(const AnsiText& path) {
  AnsiText copy = path;
  return resolvePath(copy);
}

bool JsonDocument::setValue(const AnsiText& path, const AnsiText& value, bool json) {
  std::u16string target;
  bool exists = resolveInto(path, target);
  if (!json)
    return runs(target + u" = '" + QuotedBody(ToScriptText(value)) + u"'.replace(/\\\\/g, str_Code)");
  std::u16string source = value.empty() ? u"{}" : ToScriptText(value);
  if (exists && evaluateText(u"Object.prototype.toString.call(" + target + u")") == u"[object Object]")
    return runs(target + u" = get__extend(" + target + u", " + source + u")");
  return runs(target + u" = eval(" + source + u")");
}

bool JsonDocument::setJson(const AnsiText& path, const AnsiText& json) {
  return runs(resolved(path) + u" = eval(" + ToScriptText(json) + u")");
}

int JsonDocument::typeOf(const AnsiText& path) {
  std::u16string target = resolved(path);
  bool succeeded = false;
  if (evaluate(target + u" == null", &succeeded).toBool() || !succeeded) return kTypeNone;
  std::u16string tag = evaluateText(u"Object.prototype.toString.call(" + target + u")");
  if (tag == u"[object Boolean]") return kTypeBoolean;
  if (tag == u"[object Number]") return kTypeNumber;
  if (tag == u"[object Object]") return kTypeObject;
  if (tag == u"[object Array]") return kTypeArray;
  if (tag == u"[object String]") return kTypeString;
  return kTypeOther;
}

AnsiText JsonDocument::getText(const AnsiText& path, bool json) {
  std::u16string target = resolved(path);
  std::u16string script = json ? u"JSON.stringify(" + target + u")" : target + u".toString()";
  return FromScriptText(evaluateText(script + kRestoreBackslashes));
}

int JsonDocument::memberNames(std::vector<AnsiText>& names, const AnsiText& path) {
  names = Split(evaluateText(u"get__name_All(" + resolved(path) + u")"), u"\r\n");
  return static_cast<int>(names.size());
}

int JsonDocument::count(const AnsiText& path) {
  return Truncate(evaluate(u"get__count(" + resolved(path) + u")").toNumber());
}

// The value travels to the new document with its U+2400 marks, so texts stored with setValue
// keep their backslashes there too.
JsonDocument JsonDocument::documentFrom(const std::u16string& jsonExpression) {
  std::u16string json = evaluateText(u"JSON.stringify(" + jsonExpression + u")");
  JsonDocument document;
  NewJsonDocument(document);
  document.parseScript(json, false);
  return document;
}

JsonDocument JsonDocument::getObject(const AnsiText& path) {
  return documentFrom(resolved(path));
}

bool JsonDocument::addToArray(const AnsiText& value, const AnsiText& path, bool json, bool front) {
  std::u16string target = resolved(path);
  std::u16string item = json ? ToScriptText(value) : u"'" + ToScriptText(value) + u"'";
  return runs(u"if (Object.prototype.toString.call(" + target + u") != '[object Array]') { " + target +
              u" = new Array() } " + target + (front ? u".unshift(" : u".push(") + item + u")");
}

JsonDocument JsonDocument::getArrayItemObject(int index, const AnsiText& path) {
  return documentFrom(resolved(path) + u"[" + Decimal(index) + u"]");
}

AnsiText JsonDocument::getArrayItemText(int index, const AnsiText& path, bool json) {
  std::u16string item = resolved(path) + u"[" + Decimal(index) + u"]";
  std::u16string script = json ? u"JSON.stringify(" + item + u")" : item + u".toString()";
  return FromScriptText(evaluateText(script + kRestoreBackslashes));
}

bool JsonDocument::setArrayItem(int index, const AnsiText& path, const AnsiText& value, bool json) {
  std::u16string item = json ? ToScriptText(value) : u"'" + ToScriptText(value) + u"'";
  return runs(resolved(path) + u"[" + Decimal(index) + u"] = " + item);
}

bool JsonDocument::removeArrayItem(int index, const AnsiText& path) {
  return runs(resolved(path) + u".splice(" + Decimal(index) + u", 1)");
}

bool JsonDocument::remove(const AnsiText& path) {
  return evaluate(u"delete " + resolved(path)).toBool();
}

bool JsonDocument::setNumber(const AnsiText& path, double number) {
  return runs(resolved(path) + u" = " + ScriptValue::Number(number).toText());
}

double JsonDocument::getNumber(const AnsiText& path) {
  return evaluate(resolved(path)).toNumber();
}

AnsiText JsonDocument::getJsonText(const AnsiText& path) {
  return FromScriptText(evaluateText(u"JSON.stringify(" + resolved(path) + u")" + kRestoreBackslashes));
}

int JsonDocument::allValues(std::vector<AnsiText>& values, const AnsiText& path, bool recursive) {
  std::u16string target = resolved(path);
  runs(u"var str_all = new Array()");
  runs(u"get__nodeValue(" + target + (recursive ? u", true)" : u", false)"));
  std::u16string joined =
      evaluateText(u"str_all.join('" + std::u16string(kValueSeparator) + u"')" + kRestoreBackslashes);
  values = Split(joined, kValueSeparator);
  return static_cast<int>(values.size());
}

bool NewJsonDocument(JsonDocument& document) {
  document.setName("da");
  return document.create();
}
