#include "net/LocationLookup.h"

#include <gtest/gtest.h>

#include "net/ServiceStandIns.h"

namespace {

std::string AddressAnswer(const std::string& address, const std::string& ip = "203.0.113.7") {
  return R"({"rs":1,"code":0,"address":")" + address + R"(","ip":")" + ip + R"(","isDomain":0})";
}

// The geolocation service on a local HTTPS server whose answer each case chooses.
class LocationLookupTest : public ::testing::Test {
 protected:
  LocationLookupTest() {
    hosts_.hosts().geolocation = HostOf(server_);
    hosts_.apply();
  }

  std::string answer_;
  LocalHttpServer server_{true, [this](const httplib::Request&, httplib::Response& response) {
                            response.set_content(answer_, "application/json");
                          }};
  ScopedServiceHosts hosts_{RefusingHosts()};
};

void ExpectEmpty(const LocationRecord& record) {
  EXPECT_EQ(record.country, "");
  EXPECT_EQ(record.province, "");
  EXPECT_EQ(record.city, "");
}

TEST_F(LocationLookupTest, AddressWithTwoBlanksAfterTheCountryGivesCountryProvinceAndCity) {
  answer_ = Utf8Of(AddressAnswer("中国  广东省 深圳市 电信"));
  LocationRecord record = LookupLocation("203.0.113.7");
  EXPECT_EQ(record.country, "中国");
  EXPECT_EQ(record.province, "广东省");
  EXPECT_EQ(record.city, "深圳市");
  RecordedRequest request = server_.lastRequest();
  EXPECT_EQ(request.requestLine(), "GET /api/index?ip=203.0.113.7&type=1 HTTP/1.1");
  EXPECT_EQ(request.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(request.header("Referer"), server_.url("/api/index?ip=203.0.113.7&type=1"));
  EXPECT_EQ(request.header("Accept-Language"), "zh-cn");
  EXPECT_EQ(request.header("Cookie"), "");
}

TEST_F(LocationLookupTest, EscapedUnicodeNamesComeBackAsCharacters) {
  answer_ = AddressAnswer(R"(\u4e2d\u56fd  \u5e7f\u4e1c\u7701 \u6df1\u5733\u5e02 \u7535\u4fe1)");
  LocationRecord record = LookupLocation("203.0.113.7");
  EXPECT_EQ(record.country, "中国");
  EXPECT_EQ(record.province, "广东省");
  EXPECT_EQ(record.city, "深圳市");
}

TEST_F(LocationLookupTest, OneBlankAfterTheCountryMatchesNothing) {
  answer_ = Utf8Of(AddressAnswer("中国 广东省 深圳市 电信"));
  ExpectEmpty(LookupLocation("203.0.113.7"));
}

TEST_F(LocationLookupTest, BlanksAfterTheColonsMatchNothing) {
  answer_ = Utf8Of(
      R"({"rs": 1, "code": 0, "address": "中国  广东省 深圳市 电信", "ip": "1.2.3.4", "isDomain": 0})");
  ExpectEmpty(LookupLocation("203.0.113.7"));
}

TEST_F(LocationLookupTest, TheLastOfSeveralAddressesWins) {
  answer_ = Utf8Of("[" + AddressAnswer("中国  广东省 深圳市 电信") + "," +
                   AddressAnswer("中国  四川省 成都市 移动") + "]");
  LocationRecord record = LookupLocation("203.0.113.7");
  EXPECT_EQ(record.province, "四川省");
  EXPECT_EQ(record.city, "成都市");
}

TEST_F(LocationLookupTest, LetterCaseOfTheMemberNamesIsIgnored) {
  answer_ = Utf8Of(R"({"RS":1,"Code":0,"ADDRESS":"中国  浙江省 杭州市 联通","Ip":"1.2.3.4","isdomain":0})");
  EXPECT_EQ(LookupLocation("203.0.113.7").city, "杭州市");
}

TEST_F(LocationLookupTest, AddressTextsGoIntoTheQueryAsTheyAre) {
  answer_ = Utf8Of(AddressAnswer("中国  北京市 北京市 电信"));
  EXPECT_EQ(LookupLocation("2001:db8::1").city, "北京市");
  EXPECT_EQ(server_.lastRequest().target, "/api/index?ip=2001:db8::1&type=1");
  EXPECT_EQ(LookupLocation("").city, "北京市");
  EXPECT_EQ(server_.lastRequest().target, "/api/index?ip=&type=1");
}

TEST_F(LocationLookupTest, AnythingButAnAddressIsKeptOutOfTheQuery) {
  answer_ = Utf8Of(AddressAnswer("中国  北京市 北京市 电信"));
  for (AnsiText ip : {"1.2.3.4&type=2", "<html>", "1.2.3.4 5", "中国"}) {
    EXPECT_EQ(LookupLocation(ip).city, "北京市") << ip;
    EXPECT_EQ(server_.lastRequest().target, "/api/index?ip=&type=1") << ip;
  }
}

TEST_F(LocationLookupTest, AServiceAnsweringGarbageGivesEmptyFields) {
  answer_ = "<html><body>502 Bad Gateway</body></html>";
  ExpectEmpty(LookupLocation("203.0.113.7"));
  answer_ = "";
  ExpectEmpty(LookupLocation("203.0.113.7"));
}

TEST_F(LocationLookupTest, AServiceThatCannotBeReachedGivesEmptyFields) {
  hosts_.hosts().geolocation = RefusingHost();
  hosts_.apply();
  ExpectEmpty(LookupLocation("203.0.113.7"));
  HangUpServer hangsUp;
  hosts_.hosts().geolocation = "127.0.0.1:" + std::to_string(hangsUp.port());
  hosts_.apply();
  ExpectEmpty(LookupLocation("203.0.113.7"));
}

}  // namespace
