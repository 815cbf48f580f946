#include "platform/updater/ManifestSignature.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
};
struct FileClose {
  void operator()(FILE* file) const { std::fclose(file); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;

std::string OpenSslError() {
  char text[256] = {};
  ERR_error_string_n(ERR_get_error(), text, sizeof text);
  return text;
}

Key ReadPrivateKey(const fs::path& pem, std::string* error) {
  std::unique_ptr<FILE, FileClose> file(std::fopen(pem.c_str(), "rb"));
  if (!file) {
    *error = pem.string() + ": cannot be read";
    return nullptr;
  }
  Key key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
  if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519) {
    *error = pem.string() + ": no Ed25519 private key (" + OpenSslError() + ")";
    return nullptr;
  }
  return key;
}

std::string Hex(const uint8_t* bytes, size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < length; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

std::optional<std::vector<uint8_t>> FromHex(const std::string& text, size_t length) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  const size_t end = text.find_last_not_of(" \t\r\n");
  if (begin == std::string::npos || end + 1 - begin != length * 2) return std::nullopt;
  std::vector<uint8_t> bytes;
  for (size_t i = begin; i <= end; i += 2) {
    unsigned value = 0;
    if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &value) != 1 ||
        text.substr(i, 2).find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      return std::nullopt;
    bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

}  // namespace

std::string ManifestSignature::signHex(const std::string& bytes, const fs::path& privateKeyPem,
                                       std::string* error) {
  Key key = ReadPrivateKey(privateKeyPem, error);
  if (!key) return std::string();
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  uint8_t signature[64] = {};
  size_t length = sizeof signature;
  if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
      EVP_DigestSign(context.get(), signature, &length, reinterpret_cast<const uint8_t*>(bytes.data()),
                     bytes.size()) != 1) {
    *error = "signing failed: " + OpenSslError();
    return std::string();
  }
  return Hex(signature, length);
}

bool ManifestSignature::verifyHex(const std::string& bytes, const std::string& signatureHex,
                                  const PublicKey& key) {
  std::optional<std::vector<uint8_t>> signature = FromHex(signatureHex, 64);
  if (!signature) return false;
  Key publicKey(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  return publicKey && context &&
         EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, publicKey.get()) == 1 &&
         EVP_DigestVerify(context.get(), signature->data(), signature->size(),
                          reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) == 1;
}

bool ManifestSignature::generateKey(const fs::path& pem, std::string* error) {
  std::unique_ptr<EVP_PKEY_CTX, ContextFree> context(EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr));
  EVP_PKEY* raw = nullptr;
  if (!context || EVP_PKEY_keygen_init(context.get()) != 1 || EVP_PKEY_keygen(context.get(), &raw) != 1) {
    *error = "key generation failed: " + OpenSslError();
    return false;
  }
  Key key(raw);
  std::error_code ignored;
  fs::create_directories(pem.parent_path(), ignored);
  // Created new and private: an existing key is never replaced.
  const int fd = ::open(pem.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    *error = pem.string() + ": cannot be created (it may exist already)";
    return false;
  }
  std::unique_ptr<FILE, FileClose> file(::fdopen(fd, "wb"));
  if (!file || PEM_write_PrivateKey(file.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    *error = pem.string() + ": cannot be written";
    return false;
  }
  return true;
}

std::optional<ManifestSignature::PublicKey> ManifestSignature::publicKeyOf(const fs::path& privateKeyPem,
                                                                           std::string* error) {
  Key key = ReadPrivateKey(privateKeyPem, error);
  PublicKey raw{};
  size_t length = raw.size();
  if (!key || EVP_PKEY_get_raw_public_key(key.get(), raw.data(), &length) != 1 || length != raw.size()) {
    if (error->empty()) *error = "no public key: " + OpenSslError();
    return std::nullopt;
  }
  return raw;
}

std::optional<ManifestSignature::PublicKey> ManifestSignature::parsePublicKeyHex(const std::string& hex) {
  std::optional<std::vector<uint8_t>> bytes = FromHex(hex, 32);
  if (!bytes) return std::nullopt;
  PublicKey key{};
  std::copy(bytes->begin(), bytes->end(), key.begin());
  return key;
}
