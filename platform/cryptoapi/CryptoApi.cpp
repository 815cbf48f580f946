#include "platform/cryptoapi/CryptoApi.h"

#include <openssl/evp.h>

#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

struct EvpContextDeleter {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

struct HashObject {
  std::unique_ptr<EVP_MD_CTX, EvpContextDeleter> context;
  bool finished = false;
  std::array<unsigned char, 16> value{};
};

// Issued handles are numbers, never addresses, so a stale or made-up handle is simply not found.
class HandleTable {
 public:
  static HandleTable& Instance() {
    static HandleTable table;
    return table;
  }

  uintptr_t addProvider() {
    std::lock_guard lock(mutex_);
    uintptr_t handle = next_++;
    providers_.emplace(handle, true);
    return handle;
  }
  bool removeProvider(uintptr_t handle) {
    std::lock_guard lock(mutex_);
    return providers_.erase(handle) == 1;
  }
  bool hasProvider(uintptr_t handle) {
    std::lock_guard lock(mutex_);
    return providers_.count(handle) == 1;
  }
  uintptr_t addHash(std::unique_ptr<HashObject> hash) {
    std::lock_guard lock(mutex_);
    uintptr_t handle = next_++;
    hashes_.emplace(handle, std::move(hash));
    return handle;
  }
  bool removeHash(uintptr_t handle) {
    std::lock_guard lock(mutex_);
    return hashes_.erase(handle) == 1;
  }
  // Runs `use` on the hash under the table's lock; false when the handle is unknown.
  template <typename Use>
  bool withHash(uintptr_t handle, Use&& use) {
    std::lock_guard lock(mutex_);
    auto found = hashes_.find(handle);
    if (found == hashes_.end()) return false;
    return use(*found->second);
  }

 private:
  std::mutex mutex_;
  uintptr_t next_ = 0x1000;
  std::unordered_map<uintptr_t, bool> providers_;
  std::unordered_map<uintptr_t, std::unique_ptr<HashObject>> hashes_;
};

bool WriteDword(DWORD value, BYTE* data, DWORD* length) {
  const DWORD needed = sizeof value;
  const DWORD capacity = *length;
  *length = needed;
  if (data == nullptr) return true;
  if (capacity < needed) return false;
  std::memcpy(data, &value, needed);
  return true;
}

bool ReadValue(HashObject& hash, BYTE* data, DWORD* length) {
  const DWORD needed = static_cast<DWORD>(hash.value.size());
  const DWORD capacity = *length;
  *length = needed;
  if (data == nullptr) return true;
  if (capacity < needed) return false;
  if (!hash.finished) {
    unsigned int written = 0;
    if (EVP_DigestFinal_ex(hash.context.get(), hash.value.data(), &written) != 1 || written != needed) {
      return false;
    }
    hash.finished = true;
  }
  std::memcpy(data, hash.value.data(), needed);
  return true;
}

}  // namespace

extern "C" BOOL CryptAcquireContextA(HCRYPTPROV* provider, const char* container, const char* providerName,
                                     DWORD providerType, DWORD flags) {
  if (provider == nullptr) return FALSE;
  *provider = 0;
  if (providerType != PROV_RSA_FULL) return FALSE;
  if ((container != nullptr && *container != '\0') || (providerName != nullptr && *providerName != '\0')) {
    return FALSE;
  }
  if (flags != 0 && flags != CRYPT_VERIFYCONTEXT) return FALSE;
  *provider = HandleTable::Instance().addProvider();
  return TRUE;
}

extern "C" BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags) {
  if (flags != 0) return FALSE;
  return HandleTable::Instance().removeProvider(provider) ? TRUE : FALSE;
}

extern "C" BOOL CryptCreateHash(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTKEY key, DWORD flags,
                                HCRYPTHASH* hash) {
  if (hash == nullptr) return FALSE;
  *hash = 0;
  if (!HandleTable::Instance().hasProvider(provider)) return FALSE;
  if (algorithm != CALG_MD5 || key != 0 || flags != 0) return FALSE;
  auto object = std::make_unique<HashObject>();
  object->context.reset(EVP_MD_CTX_new());
  if (!object->context || EVP_DigestInit_ex(object->context.get(), EVP_md5(), nullptr) != 1) return FALSE;
  *hash = HandleTable::Instance().addHash(std::move(object));
  return TRUE;
}

extern "C" BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD length, DWORD flags) {
  if (flags != 0 || (data == nullptr && length != 0)) return FALSE;
  return HandleTable::Instance().withHash(hash,
                                          [&](HashObject& object) {
                                            if (object.finished) return false;
                                            return length == 0 ||
                                                   EVP_DigestUpdate(object.context.get(), data, length) == 1;
                                          })
             ? TRUE
             : FALSE;
}

extern "C" BOOL CryptGetHashParam(HCRYPTHASH hash, DWORD parameter, BYTE* data, DWORD* length, DWORD flags) {
  if (length == nullptr || flags != 0) return FALSE;
  return HandleTable::Instance().withHash(hash,
                                          [&](HashObject& object) {
                                            switch (parameter) {
                                              case HP_HASHVAL:
                                                return ReadValue(object, data, length);
                                              case HP_HASHSIZE:
                                                return WriteDword(static_cast<DWORD>(object.value.size()),
                                                                  data, length);
                                              case HP_ALGID:
                                                return WriteDword(CALG_MD5, data, length);
                                              default:
                                                return false;
                                            }
                                          })
             ? TRUE
             : FALSE;
}

extern "C" BOOL CryptDestroyHash(HCRYPTHASH hash) {
  return HandleTable::Instance().removeHash(hash) ? TRUE : FALSE;
}
