#include "acquisition/DeployLog.h"

#include <cstdio>
#include <ctime>

#include "shell/startup/CodePageText.h"

AnsiText DeployLog(const AnsiText& message, bool withTime) {
  AnsiText line = message;
  if (withTime && !message.empty()) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "{ %02d:%02d:%02d } ", local.tm_hour, local.tm_min, local.tm_sec);
    line = stamp + message;
  }
  WriteDiagnosticLine(line);
  return line;
}
