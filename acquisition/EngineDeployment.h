// Deployment of the carried download engine into the user's temporary directory before each
// download: stale engine processes are ended, the archive is written out, unpacked and removed,
// and the engine library is loaded from there and initialised.
#pragma once

#include "shell/SharedTypes.h"

// The temporary directory as the system reports it, ending in a backslash.
AnsiText TempDir();
// TempDir + "\downLoad\": where the engine's files are unpacked.
AnsiText EngineDir();
// TempDir + "download\": the engine's working directory.
AnsiText EngineWorkDir();

// Ends stale engine processes, unpacks the engine and, when that worked, makes sure the working
// directory exists. Reports nothing; failures show only as diagnostic lines.
void DeployEngine();
// Writes, unpacks and removes the archive, loads the engine library and returns XL_Init's
// result; 0 after any failure.
int UnpackEngine();
