// Every web service the program calls, by host, in one place. The program always uses the live
// hosts; tests stand local servers in for them.
#pragma once

#include <array>

#include "shell/SharedTypes.h"

// Hosts, each with ":port" when it is not the scheme's default. Schemes and paths belong to
// the callers.
struct ServiceHosts {
  std::array<AnsiText, 7> ipEcho;  // IP-echo providers 1 to 7
  AnsiText ipEchoFallback;         // the page service of every other provider number
  AnsiText geolocation;
  AnsiText weather;
};

// The hosts the program ships with.
const ServiceHosts& LiveServiceHosts();
// The hosts in use: the live ones unless a test has replaced them. Safe from any thread.
ServiceHosts CurrentServiceHosts();
// Replaces every host until RestoreLiveServiceHosts.
void SetServiceHostsForTesting(const ServiceHosts& hosts);
void RestoreLiveServiceHosts();
