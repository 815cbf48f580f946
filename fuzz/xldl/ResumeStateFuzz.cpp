// Reads the input as the resume state beside a partial download. A state that is accepted must
// describe the file consistently (segments tiling it in order, each cursor inside its segment)
// and must read back the same after being saved again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/xldl/ResumeState.h"
#include "platform/xldl/ScratchDirectory.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "resume state fuzz: %s\n", what);
  std::abort();
}

bool Consistent(const xldl::ResumeState& state) {
  int64_t expectedBegin = 0;
  for (const xldl::Segment& s : state.segments) {
    if (s.begin != expectedBegin || s.end <= s.begin || s.cursor < s.begin || s.cursor > s.end) return false;
    expectedBegin = s.end;
  }
  return state.totalSize > 0 && !state.segments.empty() && expectedBegin == state.totalSize;
}

bool Same(const xldl::ResumeState& a, const xldl::ResumeState& b) {
  if (a.url != b.url || a.totalSize != b.totalSize || a.segments.size() != b.segments.size()) return false;
  for (std::size_t i = 0; i < a.segments.size(); ++i) {
    const xldl::Segment &x = a.segments[i], &y = b.segments[i];
    if (x.begin != y.begin || x.end != y.end || x.cursor != y.cursor) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ScratchDirectory scratch;
  const std::string given = scratch.file("given.state"), saved = scratch.file("saved.state");
  std::ofstream(given, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  std::optional<xldl::ResumeState> state = xldl::ResumeState::load(given);
  if (!state) return 0;
  Require(Consistent(*state), "an inconsistent state was accepted");
  Require(state->save(saved), "an accepted state cannot be saved");
  std::optional<xldl::ResumeState> again = xldl::ResumeState::load(saved);
  Require(again && Same(*state, *again), "a saved state reads back differently");
  return 0;
}
