#include "net/PublicIpLookup.h"

#include <gtest/gtest.h>

#include "net/ServiceStandIns.h"

namespace {

const std::string kUserAgent1 =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/47.0.2526.80 "
    "Safari/537.36 Core/1.47.277.400 QQBrowser/9.4.7658.400";
const std::string kUserAgent2 =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/50.0.2661.87 "
    "Safari/537.36";

ByteBuffer Bytes(const std::string& text) {
  return TextAsBytes(text);
}

// Every service refused until a case points a provider at a server of its own.
class PublicIpLookupTest : public ::testing::Test {
 protected:
  void PointProviderAt(int provider, const LocalHttpServer& server) {
    hosts_.hosts().ipEcho[provider - 1] = HostOf(server);
    hosts_.apply();
  }
  void PointPageServiceAt(const LocalHttpServer& server) {
    hosts_.hosts().ipEchoFallback = HostOf(server);
    hosts_.apply();
  }

  ScopedServiceHosts hosts_{RefusingHosts()};
};

TEST(BytesBetweenTest, CutsBetweenTheFirstMarkerAndTheNextOne) {
  EXPECT_EQ(BytesBetween(Bytes("a<x>1<y>2<x>3<y>"), Bytes("<x>"), Bytes("<y>")), Bytes("1"));
  EXPECT_EQ(BytesBetween(Bytes("<x><y>"), Bytes("<x>"), Bytes("<y>")), Bytes(""));
}

TEST(BytesBetweenTest, AMissingMarkerGivesNothing) {
  EXPECT_TRUE(BytesBetween(Bytes("a 1<y>"), Bytes("<x>"), Bytes("<y>")).empty());
  EXPECT_TRUE(BytesBetween(Bytes("a<x>1"), Bytes("<x>"), Bytes("<y>")).empty());
  EXPECT_TRUE(BytesBetween({}, Bytes("<x>"), Bytes("<y>")).empty());
}

TEST(BytesBetweenTest, StartAppliesToBothSearches) {
  // From position 5 the first marker is the second "<x>"; the end marker is then looked for
  // from position 5 of what follows it.
  EXPECT_EQ(BytesBetween(Bytes("<x>1<y>__<x>abcdefgh<y>"), Bytes("<x>"), Bytes("<y>"), 5), Bytes("abcdefgh"));
  EXPECT_TRUE(BytesBetween(Bytes("<x>1<y><x>ab<y>"), Bytes("<x>"), Bytes("<y>"), 5).empty());
}

TEST_F(PublicIpLookupTest, ProviderOneCutsAddressAndPlaceFromItsScriptAnswer) {
  LocalHttpServer server(false, Answer("var returnCitySN = {\"cip\": \"203.0.113.7\", \"cid\": \"440300\", "
                                       "\"cname\": \"广东省深圳市\"};"));
  PointProviderAt(1, server);
  AnsiText location;
  EXPECT_EQ(LookupPublicIp(location, 1), "203.0.113.7");
  EXPECT_EQ(location, "广东省深圳市");
  RecordedRequest request = server.lastRequest();
  EXPECT_EQ(request.requestLine(), "GET /cityjson HTTP/1.1");
  EXPECT_EQ(request.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
}

TEST_F(PublicIpLookupTest, ProviderOneWithoutTheAddressMarkerGivesNoAddress) {
  LocalHttpServer server(false, Answer("var returnCitySN = {\"ip\": \"203.0.113.7\", \"cname\": \"深圳\"};"));
  PointProviderAt(1, server);
  AnsiText location;
  EXPECT_EQ(LookupPublicIp(location, 1), "");
  EXPECT_EQ(location, "深圳");
}

TEST_F(PublicIpLookupTest, ProviderTwoDecodesEscapedPlaceNamesOverHttps) {
  LocalHttpServer server(
      true, Answer(R"({"code":0,"data":{"ip":"198.51.100.4","address":"\u4e2d\u56fd \u5e7f\u4e1c"}})",
                   "application/json"));
  PointProviderAt(2, server);
  AnsiText location;
  EXPECT_EQ(LookupPublicIp(location, 2), "198.51.100.4");
  EXPECT_EQ(location, "中国 广东");
  EXPECT_EQ(server.lastRequest().target, "/ip/qqwry/");
}

TEST_F(PublicIpLookupTest, ProviderThreeSendsItsBrowserHeaderAndReadsUtf8) {
  LocalHttpServer server(true, Answer(Utf8Of("<p>您现在的 IP：<code>192.0.2.9</code></p>"
                                             "<p>所在地理位置：<code>广东省深圳市 电信</code></p>")));
  PointProviderAt(3, server);
  AnsiText location;
  EXPECT_EQ(LookupPublicIp(location, 3), "192.0.2.9");
  EXPECT_EQ(location, "广东省深圳市 电信");
  RecordedRequest request = server.lastRequest();
  EXPECT_EQ(request.target, "/index.php");
  EXPECT_EQ(request.header("User-Agent"), kUserAgent1);
  EXPECT_EQ(request.headerCount("User-Agent"), 1u);
}

TEST_F(PublicIpLookupTest, ProviderFourGivesRegionBlankCity) {
  LocalHttpServer server(false, Answer(Utf8Of(R"({"code":0,"data":{"ip":"192.0.2.10","country":"中国",)"
                                              R"("region":"广东","city":"深圳","isp":"电信"}})")));
  PointProviderAt(4, server);
  AnsiText location;
  EXPECT_EQ(LookupPublicIp(location, 4), "192.0.2.10");
  EXPECT_EQ(location, "广东 深圳");
  EXPECT_EQ(server.lastRequest().target, "/service/getIpInfo2.php?ip=myip");
}

TEST_F(PublicIpLookupTest, ProviderFourWithoutRegionAndCityGivesNoLocation) {
  LocalHttpServer server(false, Answer(R"({"code":1,"msg":"busy"})"));
  PointProviderAt(4, server);
  AnsiText location = "earlier";
  EXPECT_EQ(LookupPublicIp(location, 4), "");
  EXPECT_EQ(location, "");
}

TEST_F(PublicIpLookupTest, ProviderFiveTakesTheTextAfterTheLastMarker) {
  LocalHttpServer server(true, Answer("Proxy IP: 10.0.0.1, IP:192.0.2.11", "text/plain"));
  PointProviderAt(5, server);
  AnsiText location = "earlier";
  EXPECT_EQ(LookupPublicIp(location, 5), "192.0.2.11");
  EXPECT_EQ(location, "");
  EXPECT_EQ(server.lastRequest().target, "/ip");
}

TEST_F(PublicIpLookupTest, ProviderSixTakesTheFirstLineOnly) {
  LocalHttpServer withLine(true, Answer("192.0.2.12\nsecond line\n", "text/plain"));
  PointProviderAt(6, withLine);
  AnsiText location;
  EXPECT_EQ(LookupPublicIp(location, 6), "192.0.2.12");
  EXPECT_EQ(withLine.lastRequest().target, "/ip");

  LocalHttpServer withoutLine(true, Answer("192.0.2.12", "text/plain"));
  PointProviderAt(6, withoutLine);
  EXPECT_EQ(LookupPublicIp(location, 6), "");
}

TEST_F(PublicIpLookupTest, ProviderSevenAsksThroughTheWinHttpFunctions) {
  LocalHttpServer server(
      true, Answer("{\n  \"ip\": \"192.0.2.13\",\n  \"city\": \"Shenzhen\"\n}", "application/json"));
  PointProviderAt(7, server);
  AnsiText location = "earlier";
  EXPECT_EQ(LookupPublicIp(location, 7), "192.0.2.13");
  EXPECT_EQ(location, "");
  EXPECT_EQ(server.lastRequest().target, "/json");
}

TEST_F(PublicIpLookupTest, OtherProviderNumbersFollowThePageServicesFrame) {
  LocalHttpServer frame(false,
                        Answer(Utf8Of("<html><head><title>您的IP地址是：192.0.2.14</title></head>"
                                      "<body><p align=\"center\">来自：广东省深圳市 电信\r\n</p></body>")));
  std::string frontPage =
      "<html><body><iframe src=\"//" + HostOf(frame) + "/ic.asp\" rel=\"nofollow\"></iframe>";
  LocalHttpServer front(false, Answer(frontPage));
  PointPageServiceAt(front);
  for (int provider : {0, 8, -1}) {
    AnsiText location;
    EXPECT_EQ(LookupPublicIp(location, provider), "192.0.2.14") << provider;
    EXPECT_EQ(location, "广东省深圳市 电信") << provider;
  }
  EXPECT_EQ(front.requests().size(), 3u);
  EXPECT_EQ(front.lastRequest().target, "/");
  EXPECT_EQ(front.lastRequest().header("User-Agent"), kUserAgent2);
  EXPECT_EQ(frame.requests().size(), 3u);
  EXPECT_EQ(frame.lastRequest().target, "/ic.asp");
}

TEST_F(PublicIpLookupTest, PageServiceFrameWithItsOwnSchemeIsAskedAsItStands) {
  LocalHttpServer frame(false, Answer(Utf8Of("<title>您的IP地址是：192.0.2.15</title>")));
  LocalHttpServer front(false, Answer("<iframe src=\"" + frame.url("/where") + "\">"));
  PointPageServiceAt(front);
  AnsiText location = "earlier";
  EXPECT_EQ(LookupPublicIp(location), "192.0.2.15");
  EXPECT_EQ(location, "");
  EXPECT_EQ(frame.lastRequest().target, "/where");
}

TEST_F(PublicIpLookupTest, PageServiceWithoutFrameGivesEmptyTexts) {
  LocalHttpServer front(false, Answer("<html><title>您的IP地址是：192.0.2.16</title></html>"));
  PointPageServiceAt(front);
  AnsiText location = "earlier";
  EXPECT_EQ(LookupPublicIp(location, 0), "");
  EXPECT_EQ(location, "");
  EXPECT_EQ(front.requests().size(), 1u);
}

// Each provider stands alone: one failing does not stop the next from answering.
TEST_F(PublicIpLookupTest, AFailingProviderGivesEmptyTextsWhileTheNextOneAnswers) {
  HangUpServer hangsUp;
  hosts_.hosts().ipEcho[0] = "127.0.0.1:" + std::to_string(hangsUp.port());
  hosts_.apply();
  LocalHttpServer second(true, Answer(R"({"ip":"198.51.100.5","address":"x"})"));
  PointProviderAt(2, second);

  AnsiText location = "earlier";
  EXPECT_EQ(LookupPublicIp(location, 1), "");
  EXPECT_EQ(location, "");
  EXPECT_EQ(LookupPublicIp(location, 2), "198.51.100.5");
  EXPECT_EQ(location, "x");
}

TEST_F(PublicIpLookupTest, EveryServiceFailingGivesEmptyTexts) {
  for (int provider = -1; provider <= 8; ++provider) {
    AnsiText location = "earlier";
    EXPECT_EQ(LookupPublicIp(location, provider), "") << provider;
    EXPECT_EQ(location, "") << provider;
  }
}

TEST_F(PublicIpLookupTest, GarbageAnswersGiveEmptyTexts) {
  auto garbage = [](const httplib::Request&, httplib::Response& response) {
    response.status = 500;
    response.set_content("\x01\x02 <b>internal error</b> \xff\xfe", "text/html");
  };
  LocalHttpServer plain(false, garbage);
  LocalHttpServer secure(true, garbage);
  for (int provider = 1; provider <= 7; ++provider) {
    bool https = provider != 1 && provider != 4;
    hosts_.hosts().ipEcho[provider - 1] = HostOf(https ? secure : plain);
  }
  hosts_.hosts().ipEchoFallback = HostOf(plain);
  hosts_.apply();
  for (int provider = 0; provider <= 7; ++provider) {
    AnsiText location = "earlier";
    EXPECT_EQ(LookupPublicIp(location, provider), "") << provider;
    EXPECT_EQ(location, "") << provider;
  }
  EXPECT_EQ(secure.requests().size(), 5u);
}

}  // namespace
