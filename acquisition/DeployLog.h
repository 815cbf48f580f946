// The engine deployment's diagnostic lines: "{ hh:mm:ss } message" in local time. They go to the
// debug output (standard error) and nowhere else.
#pragma once

#include "shell/SharedTypes.h"

// Builds the line (the message alone when `withTime` is false or the message is empty), writes it
// to standard error and returns it.
AnsiText DeployLog(const AnsiText& message, bool withTime);
