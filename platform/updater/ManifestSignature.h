// Ed25519 signatures of the update manifest. The publisher signs the manifest's exact bytes with
// a private key that never leaves the publisher; the updater holds only the public key, built
// into it, and acts on no manifest whose detached signature does not verify.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

class ManifestSignature {
 public:
  using PublicKey = std::array<uint8_t, 32>;

  // The signature as 128 hex digits; empty (and `error` set) when the key cannot be read.
  static std::string signHex(const std::string& bytes, const std::filesystem::path& privateKeyPem,
                             std::string* error);
  // Whether `signatureHex` (surrounding blanks ignored) is the key's signature of `bytes`.
  static bool verifyHex(const std::string& bytes, const std::string& signatureHex, const PublicKey& key);
  // Writes a new private key (PKCS #8 PEM, readable by the owner only); false when `pem` exists.
  static bool generateKey(const std::filesystem::path& pem, std::string* error);
  static std::optional<PublicKey> publicKeyOf(const std::filesystem::path& privateKeyPem, std::string* error);
  // 64 hex digits, as the build writes the key into the updater.
  static std::optional<PublicKey> parsePublicKeyHex(const std::string& hex);
};
