// The machine's public IP address, asked of one of eight IP-echo services.
#pragma once

#include "shell/SharedTypes.h"

// Provider 1 to 7 selects an IP-echo service; any other number the fallback page service. The
// location text the service reports (empty for services that report none) replaces what
// `location` held. Every failure gives empty texts.
AnsiText LookupPublicIp(AnsiText& location, int provider = 0);

// The bytes between the first `before` found from `start` (1-based; below 1 counts as 1) and
// the next `after`, which is looked for from the same `start` within the bytes that follow
// `before`. Empty when either is missing.
ByteBuffer BytesBetween(const ByteBuffer& data, const ByteBuffer& before, const ByteBuffer& after,
                        int start = 0);
