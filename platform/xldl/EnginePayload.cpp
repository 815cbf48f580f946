#include "platform/xldl/EnginePayload.h"

extern "C" const unsigned char qb_engine_archive[];
extern "C" const unsigned char qb_engine_archive_end[];

EnginePayload EngineArchive() {
  return {qb_engine_archive, static_cast<std::size_t>(qb_engine_archive_end - qb_engine_archive)};
}
