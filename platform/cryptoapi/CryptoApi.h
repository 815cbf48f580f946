// The CryptoAPI hashing subset the launcher calls (MD5 only), on OpenSSL's libcrypto.
// Names, argument orders and constants are the Windows ones. Handles are checked on entry: a
// handle that was never issued, or was already released, makes the call fail with FALSE instead
// of touching memory.
#pragma once

#include <cstdint>

#include "platform/win32/Win32.h"

typedef uintptr_t HCRYPTPROV;
typedef uintptr_t HCRYPTHASH;
typedef uintptr_t HCRYPTKEY;
typedef unsigned int ALG_ID;

enum : DWORD { PROV_RSA_FULL = 1 };
enum : DWORD { CRYPT_VERIFYCONTEXT = 0xF0000000 };
enum : ALG_ID { CALG_MD5 = 0x8003 };
enum : DWORD { HP_ALGID = 1, HP_HASHVAL = 2, HP_HASHSIZE = 4 };

extern "C" {

// Only the full RSA provider type with no named container is offered; `flags` may be 0 or
// CRYPT_VERIFYCONTEXT.
BOOL CryptAcquireContextA(HCRYPTPROV* provider, const char* container, const char* providerName,
                          DWORD providerType, DWORD flags);
BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD flags);

// Only CALG_MD5, without a key. The hash belongs to the context's caller, not to the context:
// releasing the context first leaves the hash usable until it is destroyed.
BOOL CryptCreateHash(HCRYPTPROV provider, ALG_ID algorithm, HCRYPTKEY key, DWORD flags, HCRYPTHASH* hash);
// Fails once the value has been read (HP_HASHVAL finishes the hash).
BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD length, DWORD flags);
// HP_HASHVAL (16 bytes), HP_HASHSIZE and HP_ALGID (a DWORD each). With `data` null only the needed
// length is written; a buffer shorter than needed fails and reports the needed length.
BOOL CryptGetHashParam(HCRYPTHASH hash, DWORD parameter, BYTE* data, DWORD* length, DWORD flags);
BOOL CryptDestroyHash(HCRYPTHASH hash);

}  // extern "C"
