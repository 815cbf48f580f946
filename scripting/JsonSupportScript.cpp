#include "scripting/JsonSupportScript.h"

#include <string>

namespace {

// get__extend replaces members that are null or of a primitive type (numbers included) and
// merges objects member by member; a null member cannot be merged into, so it is replaced too.
constexpr std::u16string_view kSupportFunctions =
    uR"JS(
function get__nodeValue(str_json, recursion) {
  for (var key in str_json) {
    var tag = Object.prototype.toString.call(str_json[key]);
    if (tag == '[object Object]' || tag == '[object Array]') {
      if (recursion) get__nodeValue(str_json[key], recursion);
    } else if (tag == '[object String]' || tag == '[object Number]' || tag == '[object Boolean]') {
      str_all.push(str_json[key]);
    }
  }
  return str_all;
}
function get__count(c) {
  return Object.prototype.toString.call(c) == '[object Array]' ? c.length : 0;
}
function get__name_All(a) {
  if (Object.prototype.toString.call(a) != '[object Object]') return '';
  var names = [];
  for (var key in a) {
    if (typeof a[key] != 'function') names.push(key);
  }
  return names.join('\r\n');
}
function get__extend(target, source) {
  if (Object.prototype.toString.call(target) == '[object Array]') {
    for (var i = 0; i < source.length; i++) target.push(source[i]);
    return target;
  }
  for (var key in source) {
    var type = typeof target[key];
    if (type == 'string' || type == 'boolean' || type == 'undefined' || type == 'number' || target[key] === null) {
      target[key] = source[key];
    } else if (type == 'object') {
      target[key] = get__extend(target[key], source[key]);
    }
  }
  return target;
}
)JS";

// A complete JSON.stringify (replacer function or key list, indentation, toJSON, cycles) and a
// strict JSON.parse (with reviver), each installed only where the engine has none.
constexpr std::u16string_view kJsonFallback =
    uR"JS(
if (typeof JSON != 'object' || JSON === null) JSON = {};
(function () {
  var tagOf = function (v) { return Object.prototype.toString.call(v); };
  var own = function (o, k) { return Object.prototype.hasOwnProperty.call(o, k); };
  var meta = {'\b': '\\b', '\t': '\\t', '\n': '\\n', '\f': '\\f', '\r': '\\r', '"': '\\"', '\\': '\\\\'};
  function quote(s) {
    return '"' + s.replace(/[\\"\u0000-\u001f\u2028\u2029]/g, function (c) {
      return meta[c] || '\\u' + ('0000' + c.charCodeAt(0).toString(16)).slice(-4);
    }) + '"';
  }
  function wrap(open, close, parts, gap, indent) {
    if (!parts.length) return open + close;
    if (!gap) return open + parts.join(',') + close;
    var inner = indent + gap;
    return open + '\n' + inner + parts.join(',\n' + inner) + '\n' + indent + close;
  }
  function str(key, holder, replacer, keys, gap, indent, stack) {
    var value = holder[key];
    if (value && typeof value == 'object' && typeof value.toJSON == 'function') value = value.toJSON(key);
    if (typeof replacer == 'function') value = replacer.call(holder, key, value);
    var tag = tagOf(value);
    if (tag == '[object Number]' || tag == '[object String]' || tag == '[object Boolean]') value = value.valueOf();
    if (value === null) return 'null';
    if (typeof value == 'string') return quote(value);
    if (typeof value == 'number') return isFinite(value) ? String(value) : 'null';
    if (typeof value == 'boolean') return String(value);
    if (typeof value != 'object') return undefined;
    for (var s = 0; s < stack.length; s++) if (stack[s] === value) throw new TypeError('cyclic structure');
    stack.push(value);
    var inner = indent + gap, parts = [], i, k, v;
    if (tag == '[object Array]') {
      for (i = 0; i < value.length; i++) {
        v = str(i, value, replacer, keys, gap, inner, stack);
        parts.push(v === undefined ? 'null' : v);
      }
      stack.pop();
      return wrap('[', ']', parts, gap, indent);
    }
    var names = keys;
    if (!names) {
      names = [];
      for (k in value) if (own(value, k)) names.push(k);
    }
    for (i = 0; i < names.length; i++) {
      v = str(names[i], value, replacer, keys, gap, inner, stack);
      if (v !== undefined) parts.push(quote(names[i]) + (gap ? ': ' : ':') + v);
    }
    stack.pop();
    return wrap('{', '}', parts, gap, indent);
  }
  if (typeof JSON.stringify != 'function') {
    JSON.stringify = function (value, replacer, space) {
      var gap = '', keys = null, i;
      if (typeof space == 'number') for (i = 0; i < Math.min(10, space); i++) gap += ' ';
      else if (typeof space == 'string') gap = space.slice(0, 10);
      if (replacer && typeof replacer != 'function') {
        if (tagOf(replacer) != '[object Array]') throw new Error('JSON.stringify: bad replacer');
        keys = [];
        for (i = 0; i < replacer.length; i++) {
          var item = replacer[i];
          if (typeof item == 'number' || typeof item == 'string') item = String(item); else continue;
          for (var j = 0; j < keys.length && keys[j] != item; j++) {}
          if (j == keys.length) keys.push(item);
        }
        replacer = null;
      }
      return str('', {'': value}, replacer, keys, gap, '', []);
    };
  }
  if (typeof JSON.parse != 'function') {
    JSON.parse = function (source, reviver) {
      var text = String(source), at = 0;
      var escapes = {'"': '"', '\\': '\\', '/': '/', b: '\b', f: '\f', n: '\n', r: '\r', t: '\t'};
      function fail() { throw new SyntaxError('JSON.parse: unexpected text at ' + at); }
      function white() { while (at < text.length && ' \t\n\r'.indexOf(text.charAt(at)) >= 0) at++; }
      function word(w, v) { if (text.substr(at, w.length) != w) fail(); at += w.length; return v; }
      function string() {
        var out = '', c, hex;
        word('"');
        for (;;) {
          if (at >= text.length) fail();
          c = text.charAt(at++);
          if (c == '"') return out;
          if (c < ' ') fail();
          if (c != '\\') { out += c; continue; }
          c = text.charAt(at++);
          if (c == 'u') {
            hex = text.substr(at, 4);
            if (!/^[0-9a-fA-F]{4}$/.test(hex)) fail();
            out += String.fromCharCode(parseInt(hex, 16));
            at += 4;
          } else if (own(escapes, c)) {
            out += escapes[c];
          } else {
            fail();
          }
        }
      }
      function number() {
        var m = /^-?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?/.exec(text.slice(at));
        if (!m) fail();
        at += m[0].length;
        return Number(m[0]);
      }
      function list(close, item) {
        at++;
        white();
        if (text.charAt(at) == close) return at++, true;
        for (;;) {
          item();
          white();
          var c = text.charAt(at++);
          if (c == close) return true;
          if (c != ',') fail();
          white();
        }
      }
      function value() {
        white();
        var c = text.charAt(at), result;
        if (c == '{') {
          result = {};
          list('}', function () { var k = string(); white(); word(':'); result[k] = value(); });
          return result;
        }
        if (c == '[') {
          result = [];
          list(']', function () { result.push(value()); });
          return result;
        }
        if (c == '"') return string();
        if (c == 't') return word('true', true);
        if (c == 'f') return word('false', false);
        if (c == 'n') return word('null', null);
        return number();
      }
      function walk(holder, key) {
        var v = holder[key];
        if (v && typeof v == 'object') {
          for (var k in v) {
            if (!own(v, k)) continue;
            var r = walk(v, k);
            if (r === undefined) delete v[k]; else v[k] = r;
          }
        }
        return reviver.call(holder, key, v);
      }
      var result = value();
      white();
      if (at < text.length) fail();
      return typeof reviver == 'function' ? walk({'': result}, '') : result;
    };
  }
  if (typeof Object.prototype.toJSONString != 'function') {
    Object.prototype.toJSONString = function (filter) { return JSON.stringify(this, filter); };
  }
  if (typeof Object.prototype.parseJSON != 'function') {
    Object.prototype.parseJSON = function (filter) { return JSON.parse(String(this), filter); };
  }
})();
)JS";

}  // namespace

std::u16string_view JsonSupportScript() {
  static const std::u16string script = std::u16string(kSupportFunctions) + std::u16string(kJsonFallback);
  return script;
}
