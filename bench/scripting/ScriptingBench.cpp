// JSON document and regular-expression matcher, each beside a peer that uses the same engine
// directly, in the same run; the closing table gives each one's time as a multiple of its peer's.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <benchmark/benchmark.h>
#include <duktape.h>
#include <malloc.h>
#include <pcre2.h>

#include <cstdio>
#include <regex>
#include <string>

#include "bench/support/RatioReporter.h"
#include "platform/scriptcontrol/EngineText.h"
#include "scripting/JsonDocument.h"
#include "scripting/RegexMatcher.h"
#include "scripting/ScriptText.h"

namespace {

constexpr size_t kMiB = 1 << 20;
constexpr int kPathReads = 10000;

std::u16string Number(size_t n) {
  std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// {"items":[{"id":0,"name":"项目0","city":"深圳市",...}, ...]} of at least 1 MiB in code page 936.
struct JsonText {
  std::u16string wide;
  size_t items = 0;
  JsonText() {
    wide = u"{\"items\":[";
    while (wide.size() * 3 / 2 < kMiB) {
      if (items) wide += u",";
      wide += u"{\"id\":" + Number(items) + u",\"name\":\"项目" + Number(items) +
              u"\",\"city\":\"深圳市\",\"temperature\":\"25\",\"wind\":{\"direction\":\"东南\",\"power\":3},"
              u"\"tags\":[\"视频\",\"OCR\",true,null]}";
      ++items;
    }
    wide += u"]}";
  }
};

const JsonText& Json() {
  static const JsonText json;
  return json;
}

size_t HeapInUse() {
  return mallinfo2().uordblks;
}

struct HeapDeleter {
  void operator()(duk_context* context) const { duk_destroy_heap(context); }
};
using Heap = std::unique_ptr<duk_context, HeapDeleter>;

void BM_JsonParse_Document(benchmark::State& state) {
  AnsiText text = FromScriptText(Json().wide);
  size_t before = HeapInUse();
  JsonDocument doc;
  NewJsonDocument(doc);
  for (auto _ : state) benchmark::DoNotOptimize(doc.parse(text));
  state.counters["retained_MiB"] = double(HeapInUse() - before) / kMiB;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_JsonParse_DirectEngine(benchmark::State& state) {
  std::string text = ToEngineText(Json().wide);
  size_t before = HeapInUse();
  Heap heap(duk_create_heap_default());
  duk_context* ctx = heap.get();
  for (auto _ : state) {
    duk_set_top(ctx, 0);
    duk_push_lstring(ctx, text.data(), text.size());
    duk_json_decode(ctx, -1);
    benchmark::DoNotOptimize(duk_get_top(ctx));
  }
  state.counters["retained_MiB"] = double(HeapInUse() - before) / kMiB;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_JsonRead10kPaths_Document(benchmark::State& state) {
  JsonDocument doc;
  NewJsonDocument(doc);
  doc.parse(FromScriptText(Json().wide));
  std::vector<AnsiText> paths;
  for (int i = 0; i < kPathReads; ++i)
    paths.push_back("items[" + std::to_string(size_t(i) * 7 % Json().items) + "].name");
  for (auto _ : state)
    for (const AnsiText& path : paths) benchmark::DoNotOptimize(doc.getText(path));
}

void BM_JsonRead10kPaths_DirectEngine(benchmark::State& state) {
  std::string text = ToEngineText(Json().wide);
  Heap heap(duk_create_heap_default());
  duk_context* ctx = heap.get();
  duk_push_lstring(ctx, text.data(), text.size());
  duk_json_decode(ctx, -1);
  duk_get_prop_string(ctx, -1, "items");
  for (auto _ : state) {
    for (int i = 0; i < kPathReads; ++i) {
      duk_get_prop_index(ctx, -1, duk_uarridx_t(size_t(i) * 7 % Json().items));
      duk_get_prop_string(ctx, -1, "name");
      duk_size_t length = 0;
      const char* name = duk_get_lstring(ctx, -1, &length);
      benchmark::DoNotOptimize(FromScriptText(FromEngineText(std::string_view(name, length))));
      duk_pop_2(ctx);
    }
  }
}

// Lines like "2020年7月20日 深圳 温度25℃ 湿度60%" up to 1 MiB of code page 936; two matches each.
const std::u16string& Subject() {
  static const std::u16string subject = [] {
    std::u16string text;
    for (size_t line = 0; text.size() * 3 / 2 < kMiB; ++line)
      text += u"20" + Number(line % 100) + u"年" + Number(line % 12 + 1) + u"月20日 深圳 温度25℃ 更新于" +
              Number(line % 28) + u"年1月\r\n";
    return text;
  }();
  return subject;
}

const char16_t kPattern[] = u"(\\d+)年(\\d+)月";

void BM_Regex1MiB_Matcher(benchmark::State& state) {
  AnsiText subject = FromScriptText(Subject());
  AnsiText pattern = FromScriptText(kPattern);
  int matches = 0;
  for (auto _ : state) {
    RegexMatcher matcher;
    matcher.create(pattern, subject);
    matches = matcher.matchCount();
    for (int i = 1; i <= matches; ++i) {
      int position = 0;
      benchmark::DoNotOptimize(matcher.matchText(i, &position));
      benchmark::DoNotOptimize(matcher.subMatchText(i, 2));
    }
  }
  state.counters["matches"] = matches;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(subject.size()));
}

void BM_Regex1MiB_DirectPcre2(benchmark::State& state) {
  const std::u16string& subject = Subject();
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern), PCRE2_ZERO_TERMINATED,
                                   PCRE2_CASELESS | PCRE2_MULTILINE, &error, &offset, nullptr);
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  int matches = 0;
  for (auto _ : state) {
    matches = 0;
    size_t start = 0;
    while (pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), start, 0, data,
                       nullptr) > 0) {
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
      benchmark::DoNotOptimize(std::u16string(subject, ovector[0], ovector[1] - ovector[0]));
      benchmark::DoNotOptimize(std::u16string(subject, ovector[4], ovector[5] - ovector[4]));
      start = ovector[1] > ovector[0] ? ovector[1] : ovector[0] + 1;
      ++matches;
    }
  }
  pcre2_match_data_free(data);
  pcre2_code_free(code);
  state.counters["matches"] = matches;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(subject.size() * 3 / 2));
}

void BM_Regex1MiB_StdRegex(benchmark::State& state) {
  std::string subject = FromScriptText(Subject());
  std::regex pattern(FromScriptText(kPattern), std::regex::icase);
  int matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (std::sregex_iterator it(subject.begin(), subject.end(), pattern), end; it != end; ++it) {
      benchmark::DoNotOptimize(it->str(0));
      benchmark::DoNotOptimize(it->str(2));
      ++matches;
    }
  }
  state.counters["matches"] = matches;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(subject.size()));
}

BENCHMARK(BM_JsonParse_Document)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonParse_DirectEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonRead10kPaths_Document)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsonRead10kPaths_DirectEngine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regex1MiB_Matcher)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regex1MiB_DirectPcre2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regex1MiB_StdRegex)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunWithRatios(argc, argv,
                       {{"BM_JsonParse_Document", "BM_JsonParse_DirectEngine"},
                        {"BM_JsonRead10kPaths_Document", "BM_JsonRead10kPaths_DirectEngine"},
                        {"BM_Regex1MiB_Matcher", "BM_Regex1MiB_DirectPcre2"},
                        {"BM_Regex1MiB_Matcher", "BM_Regex1MiB_StdRegex"}});
}
