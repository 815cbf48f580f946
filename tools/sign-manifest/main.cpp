// sign-manifest key PRIVATE_KEY HEADER
//     Makes PRIVATE_KEY (Ed25519, PEM, 0600) when it does not exist, and writes its public key as
//     a C++ header (kUpdatePublicKeyHex, 64 hex digits), for the build to put into the updater.
// sign-manifest sign PRIVATE_KEY MANIFEST SIGNATURE
//     Writes the detached signature of MANIFEST's exact bytes (128 hex digits) to SIGNATURE.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/updater/ManifestSignature.h"

namespace fs = std::filesystem;

namespace {

bool WriteFile(const fs::path& path, const std::string& text) {
  const fs::path partial = path.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary);
    if (!(out << text << '\n')) return false;
  }
  std::error_code error;
  fs::rename(partial, path, error);
  return !error;
}

int MakeKey(const fs::path& privateKey, const fs::path& publicKeyFile) {
  std::string error;
  if (!fs::exists(privateKey) && !ManifestSignature::generateKey(privateKey, &error)) {
    std::cerr << "sign-manifest: " << error << "\n";
    return 1;
  }
  auto key = ManifestSignature::publicKeyOf(privateKey, &error);
  if (!key) {
    std::cerr << "sign-manifest: " << error << "\n";
    return 1;
  }
  std::string hex;
  for (uint8_t byte : *key) {
    static const char kDigits[] = "0123456789abcdef";
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  const std::string header =
      "// Made by the build from the update signing key " + privateKey.string() +
      "; do not edit.\n#pragma once\n\ninline constexpr char kUpdatePublicKeyHex[] = \"" + hex + "\";";
  // Unchanged contents keep the file's time, so the updater is not rebuilt for nothing.
  std::ifstream old(publicKeyFile);
  const std::string previous((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
  if (previous == header + "\n") return 0;
  return WriteFile(publicKeyFile, header) ? 0 : 1;
}

int Sign(const fs::path& privateKey, const fs::path& manifest, const fs::path& signatureFile) {
  std::ifstream in(manifest, std::ios::binary);
  if (!in) {
    std::cerr << "sign-manifest: cannot read " << manifest << "\n";
    return 1;
  }
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string error;
  const std::string signature = ManifestSignature::signHex(bytes, privateKey, &error);
  if (signature.empty()) {
    std::cerr << "sign-manifest: " << error << "\n";
    return 1;
  }
  return WriteFile(signatureFile, signature) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "key" && argc == 4) return MakeKey(argv[2], argv[3]);
  if (command == "sign" && argc == 5) return Sign(argv[2], argv[3], argv[4]);
  std::cerr << "usage: sign-manifest key PRIVATE_KEY HEADER\n"
               "       sign-manifest sign PRIVATE_KEY MANIFEST SIGNATURE\n";
  return 2;
}
