// The engine archive carried inside the launcher: a ZIP holding xldl.dll at its top level.
#pragma once

#include <cstddef>
#include <cstdint>

struct EnginePayload {
  const std::uint8_t* data;
  std::size_t size;
};

EnginePayload EngineArchive();
