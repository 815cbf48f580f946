#include "platform/cryptoapi/CryptoApi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(const BYTE* bytes, size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (size_t i = 0; i < length; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0xF];
  }
  return hex;
}

class CryptoApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
    ASSERT_TRUE(CryptCreateHash(provider_, CALG_MD5, 0, 0, &hash_));
  }
  void TearDown() override {
    CryptDestroyHash(hash_);
    CryptReleaseContext(provider_, 0);
  }
  std::string value() {
    BYTE bytes[16] = {};
    DWORD length = sizeof bytes;
    EXPECT_TRUE(CryptGetHashParam(hash_, HP_HASHVAL, bytes, &length, 0));
    EXPECT_EQ(length, 16u);
    return Hex(bytes, length);
  }
  HCRYPTPROV provider_ = 0;
  HCRYPTHASH hash_ = 0;
};

TEST_F(CryptoApiTest, HashesDataFedInPieces) {
  const std::string text = "message digest";
  ASSERT_TRUE(CryptHashData(hash_, reinterpret_cast<const BYTE*>(text.data()), 7, 0));
  ASSERT_TRUE(CryptHashData(hash_, reinterpret_cast<const BYTE*>(text.data()) + 7, 7, 0));
  EXPECT_EQ(value(), "f96b697d7cb7938d525a2f31aaf161d0");
}

TEST_F(CryptoApiTest, NoDataGivesTheDigestOfNothing) {
  ASSERT_TRUE(CryptHashData(hash_, nullptr, 0, 0));
  EXPECT_EQ(value(), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST_F(CryptoApiTest, TheValueCanBeReadAgainButNoMoreDataAdded) {
  const BYTE a = 'a';
  ASSERT_TRUE(CryptHashData(hash_, &a, 1, 0));
  EXPECT_EQ(value(), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(value(), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_FALSE(CryptHashData(hash_, &a, 1, 0));
}

TEST_F(CryptoApiTest, ReportsTheNeededLengthAndRefusesAShortBuffer) {
  DWORD length = 0;
  EXPECT_TRUE(CryptGetHashParam(hash_, HP_HASHVAL, nullptr, &length, 0));
  EXPECT_EQ(length, 16u);
  BYTE shortBuffer[8] = {};
  length = sizeof shortBuffer;
  EXPECT_FALSE(CryptGetHashParam(hash_, HP_HASHVAL, shortBuffer, &length, 0));
  EXPECT_EQ(length, 16u);
  // The failed read did not finish the hash.
  const BYTE a = 'a';
  EXPECT_TRUE(CryptHashData(hash_, &a, 1, 0));
}

TEST_F(CryptoApiTest, TellsTheSizeAndAlgorithm) {
  DWORD number = 0;
  DWORD length = sizeof number;
  ASSERT_TRUE(CryptGetHashParam(hash_, HP_HASHSIZE, reinterpret_cast<BYTE*>(&number), &length, 0));
  EXPECT_EQ(number, 16u);
  ASSERT_TRUE(CryptGetHashParam(hash_, HP_ALGID, reinterpret_cast<BYTE*>(&number), &length, 0));
  EXPECT_EQ(number, static_cast<DWORD>(CALG_MD5));
  EXPECT_FALSE(CryptGetHashParam(hash_, 99, reinterpret_cast<BYTE*>(&number), &length, 0));
}

TEST_F(CryptoApiTest, AHashOutlivesItsReleasedContext) {
  ASSERT_TRUE(CryptReleaseContext(provider_, 0));
  const BYTE a = 'a';
  EXPECT_TRUE(CryptHashData(hash_, &a, 1, 0));
  EXPECT_EQ(value(), "0cc175b9c0f1b6a831c399e269772661");
  HCRYPTHASH another = 0;
  EXPECT_FALSE(CryptCreateHash(provider_, CALG_MD5, 0, 0, &another));
  EXPECT_EQ(another, 0u);
}

TEST(CryptoApiHandles, StaleAndMadeUpHandlesAreRefused) {
  HCRYPTPROV provider = 0;
  ASSERT_TRUE(CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, 0));
  HCRYPTHASH hash = 0;
  ASSERT_TRUE(CryptCreateHash(provider, CALG_MD5, 0, 0, &hash));
  ASSERT_TRUE(CryptDestroyHash(hash));
  const BYTE a = 'a';
  BYTE bytes[16];
  DWORD length = sizeof bytes;
  EXPECT_FALSE(CryptDestroyHash(hash));
  EXPECT_FALSE(CryptHashData(hash, &a, 1, 0));
  EXPECT_FALSE(CryptGetHashParam(hash, HP_HASHVAL, bytes, &length, 0));
  EXPECT_FALSE(CryptHashData(0, &a, 1, 0));
  EXPECT_FALSE(CryptHashData(0xDEADBEEF, &a, 1, 0));
  ASSERT_TRUE(CryptReleaseContext(provider, 0));
  EXPECT_FALSE(CryptReleaseContext(provider, 0));
  EXPECT_FALSE(CryptReleaseContext(0, 0));
}

TEST(CryptoApiHandles, OnlyTheFullProviderWithoutAContainerAndOnlyMd5AreOffered) {
  HCRYPTPROV provider = 77;
  EXPECT_FALSE(CryptAcquireContextA(&provider, nullptr, nullptr, 24, CRYPT_VERIFYCONTEXT));
  EXPECT_EQ(provider, 0u);
  EXPECT_FALSE(CryptAcquireContextA(&provider, "keys", nullptr, PROV_RSA_FULL, 0));
  EXPECT_FALSE(CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, 0x8));
  EXPECT_FALSE(CryptAcquireContextA(nullptr, nullptr, nullptr, PROV_RSA_FULL, 0));
  ASSERT_TRUE(CryptAcquireContextA(&provider, "", "", PROV_RSA_FULL, CRYPT_VERIFYCONTEXT));
  HCRYPTHASH hash = 5;
  EXPECT_FALSE(CryptCreateHash(provider, 0x8004, 0, 0, &hash));  // SHA-1
  EXPECT_EQ(hash, 0u);
  EXPECT_FALSE(CryptCreateHash(provider, CALG_MD5, 0, 0, nullptr));
  EXPECT_TRUE(CryptReleaseContext(provider, 0));
}

}  // namespace
