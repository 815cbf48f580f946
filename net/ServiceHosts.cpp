#include "net/ServiceHosts.h"

#include <mutex>
#include <optional>

namespace {

std::mutex hostsMutex;
std::optional<ServiceHosts> replacedHosts;

}  // namespace

const ServiceHosts& LiveServiceHosts() {
  // docs/WEB_SERVICES.md says what each of them answers and where it departs from what its
  // caller cuts out of the answer.
  static const ServiceHosts live{
      {
          "pv.sohu.com",    // 1 http  /cityjson
          "ip.zxinc.org",   // 2 https /ip/qqwry/
          "www.ip.cn",      // 3 https /index.php
          "ip.taobao.com",  // 4 http  /service/getIpInfo2.php?ip=myip
          "ifconfig.me",    // 5 https /ip
          "api.ip.sb",      // 6 https /ip
          "ipinfo.io",      // 7 https /json
      },
      "www.ip138.com",     // other provider numbers: http site root with a frame
      "www.ip.cn",         // https /api/index?ip=...&type=1
      "restapi.amap.com",  // https /v3/weather/weatherInfo?city=...&key=...
  };
  return live;
}

ServiceHosts CurrentServiceHosts() {
  std::lock_guard<std::mutex> lock(hostsMutex);
  return replacedHosts ? *replacedHosts : LiveServiceHosts();
}

void SetServiceHostsForTesting(const ServiceHosts& hosts) {
  std::lock_guard<std::mutex> lock(hostsMutex);
  replacedHosts = hosts;
}

void RestoreLiveServiceHosts() {
  std::lock_guard<std::mutex> lock(hostsMutex);
  replacedHosts.reset();
}
