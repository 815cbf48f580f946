// Deployment of the carried download engine into the user's private engine directory
// (EngineHome) before each download: stale engine processes are ended, the archive is written
// out, unpacked and removed, and the engine library is loaded from there and initialised.
#pragma once

#include "shell/SharedTypes.h"

// The temporary directory as the system reports it, ending in a backslash.
AnsiText TempDir();
// EngineHome + "downLoad\": where the engine's files are unpacked; empty when no private
// directory is usable.
AnsiText EngineDir();
// EngineHome + "download\": the engine's working directory; empty likewise.
AnsiText EngineWorkDir();

// Ends stale engine processes, unpacks the engine and, when that worked, makes sure the working
// directory exists. False when the engine cannot be used, with `failure` (for the user) set;
// the steps also write diagnostic lines.
bool DeployEngine(AnsiText* failure = nullptr);
// Writes, unpacks and removes the archive, loads the engine library and returns XL_Init's
// result; 0 after any failure.
int UnpackEngine();
