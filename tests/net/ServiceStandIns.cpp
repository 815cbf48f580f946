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
