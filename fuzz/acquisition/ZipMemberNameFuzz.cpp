// Member names as a hostile archive may spell them: the input is a list of members separated by
// zero bytes, each a flag byte (bit 0: the archive marks the name as UTF-8) and the name's bytes
// (code page 936 otherwise). The target checks the name rule itself, then writes a real archive
// with those members and unpacks it; a write outside the target folder aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "UnpackScratch.h"
#include "acquisition/ZipMaker.h"
#include "acquisition/ZipUnpacker.h"

namespace {

constexpr std::size_t kMaxMembers = 16;

std::vector<ZipEntry> Members(const std::string& input) {
  std::vector<ZipEntry> members;
  std::size_t start = 0;
  while (start < input.size() && members.size() < kMaxMembers) {
    std::size_t end = input.find('\0', start);
    if (end == std::string::npos) end = input.size();
    if (end > start + 1) {
      bool utf8 = (input[start] & 1) != 0;
      std::string name = input.substr(start + 1, end - start - 1);
      members.push_back(ZipEntry{name, "member " + std::to_string(members.size()), utf8});
    }
    start = end + 1;
  }
  return members;
}

// A kept path is relative and made of plain names only.
void RequireSafe(const ZipEntry& member) {
  std::string path = SafeMemberPath(member.name, member.utf8Name);
  if (path.empty()) return;
  bool safe = path[0] != '/' && path.find('\\') == std::string::npos;
  std::size_t start = 0;
  while (safe && start <= path.size()) {
    std::size_t end = std::min(path.find('/', start), path.size());
    std::string segment = path.substr(start, end - start);
    safe = !segment.empty() && segment != "." && segment != "..";
    start = end + 1;
  }
  if (!safe) {
    std::fprintf(stderr, "member name \"%s\" kept as the unsafe path \"%s\"\n", member.name.c_str(),
                 path.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static UnpackScratch scratch;
  std::vector<ZipEntry> members = Members(std::string(reinterpret_cast<const char*>(data), size));
  if (members.empty()) return 0;
  for (const ZipEntry& member : members) RequireSafe(member);
  if (MakeZip(scratch.archivePath(), members)) scratch.unpack();
  return 0;
}
