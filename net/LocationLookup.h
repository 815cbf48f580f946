// The country, province and city of an IP address, asked of an IP-geolocation web service.
#pragma once

#include "shell/SharedTypes.h"

struct LocationRecord {
  AnsiText country;
  AnsiText province;
  AnsiText city;
};

// All fields empty when the service fails or its answer does not have the expected shape; with
// several address objects in one answer the last one wins. Names escaped as \uXXXX come back
// as their characters. An `ip` that is not an IPv4 or IPv6 address text is not sent: the
// service is then asked about the caller's own address.
LocationRecord LookupLocation(const AnsiText& ip);
