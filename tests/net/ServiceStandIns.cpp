#include "net/ServiceStandIns.h"

#include <iconv.h>

#include <stdexcept>

std::string HostOf(const LocalHttpServer& server) {
  return "127.0.0.1:" + std::to_string(server.port());
}

std::string RefusingHost() {
  return "127.0.0.1:" + std::to_string(RefusingPort());
}

ServiceHosts RefusingHosts() {
  std::string refusing = RefusingHost();
  ServiceHosts hosts;
  hosts.ipEcho.fill(refusing);
  hosts.ipEchoFallback = refusing;
  hosts.geolocation = refusing;
  hosts.weather = refusing;
  return hosts;
}

std::string Utf8Of(const std::string& gbk) {
  iconv_t converter = iconv_open("UTF-8", "GBK");
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no GBK converter");
  std::string in = gbk;
  std::string out(in.size() * 2 + 4, '\0');
  char* inPointer = in.data();
  size_t inLeft = in.size();
  char* outPointer = out.data();
  size_t outLeft = out.size();
  size_t converted = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (converted == static_cast<size_t>(-1)) throw std::runtime_error("not GBK text: " + gbk);
  out.resize(out.size() - outLeft);
  return out;
}

LocalHttpServer::Handler Answer(std::string body, std::string type) {
  return [body, type](const httplib::Request&, httplib::Response& response) {
    response.set_content(body, type);
  };
}

std::string CityAnswer(const std::string& ip) {
  return "var returnCitySN = {\"cip\": \"" + ip + "\", \"cid\": \"440300\", \"cname\": \"广东省深圳市\"};";
}

std::string LocationAnswer(const std::string& city) {
  return Utf8Of("{\"rs\":1,\"code\":0,\"address\":\"中国  广东省 " + city +
                " 电信\",\"ip\":\"203.0.113.7\",\"isDomain\":0}");
}

std::string LiveWeather(const std::string& temperature, const std::string& direction, const std::string& power) {
  return Utf8Of(R"({"status":"1","count":"1","info":"OK","infocode":"10000","lives":[{"province":"广东",)"
                R"("city":"深圳市","adcode":"440300","weather":"晴","temperature":")" +
                temperature + R"(","winddirection":")" + direction + R"(","windpower":")" + power +
                R"(","humidity":"61","reporttime":"2026-12-09 20:00:00"}]})");
}
