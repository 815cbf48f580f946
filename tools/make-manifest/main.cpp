// make-manifest DIRECTORY BASE_URL [NOTE]
// Writes to standard output the update manifest that lists every regular file under DIRECTORY,
// in path order: field 1 the path (CP936, backslashes), field 2 its lower-case MD5, field 3
// BASE_URL + "/" + the path (UTF-8, percent-encoded), field 4 its size, field 5 NOTE. The update
// server publishes the output as is, and serves DIRECTORY under BASE_URL.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "acquisition/ManifestRecord.h"
#include "acquisition/UpdateCheck.h"
#include "shell/startup/CodePageText.h"

namespace fs = std::filesystem;

namespace {

std::string PercentEncode(const std::string& utf8Path) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : utf8Path) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kDigits[c >> 4];
      encoded += kDigits[c & 0xF];
    }
  }
  return encoded;
}

ByteBuffer ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: make-manifest DIRECTORY BASE_URL [NOTE]\n";
    return 1;
  }
  const fs::path root(argv[1]);
  std::string baseUrl(argv[2]);
  while (!baseUrl.empty() && baseUrl.back() == '/') baseUrl.pop_back();
  const AnsiText note = argc == 4 ? Utf8ToAnsiText(argv[3]) : AnsiText();
  if (note.find('|') != AnsiText::npos) {
    std::cerr << "make-manifest: the note may not contain '|'\n";
    return 1;
  }
  std::error_code error;
  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::end(it);
       it.increment(error)) {
    if (it->is_regular_file()) files.push_back(fs::relative(it->path(), root));
  }
  if (error) {
    std::cerr << "make-manifest: " << root.string() << ": " << error.message() << "\n";
    return 1;
  }
  std::sort(files.begin(), files.end());
  std::vector<AnsiText> records;
  for (const fs::path& relative : files) {
    const std::string utf8 = relative.generic_string();
    AnsiText path = Utf8ToAnsiText(utf8);
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.find('|') != AnsiText::npos) {
      std::cerr << "make-manifest: skipped " << utf8 << " (its name holds '|')\n";
      continue;
    }
    const ByteBuffer bytes = ReadBytes(root / relative);
    const AnsiText content = ManifestRecord::makeContent(
        path, Md5Hex(bytes, true), baseUrl + "/" + PercentEncode(utf8), bytes.size(), note);
    records.push_back(EncodeManifestRecord(content, kManifestKeySentence));
  }
  for (size_t i = 0; i < records.size(); ++i) std::cout << (i ? "#" : "") << records[i];
  return 0;
}
