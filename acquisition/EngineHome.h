// Where the download engine lives for this user: a private directory (see
// QbEnsurePrivateDirectory) in the session's runtime directory, else in the temporary
// directory, else in the user's cache. The engine is loaded and run from there, so a folder
// another user could plant files in, or one that may not run programs, is never used.
#pragma once

#include "shell/SharedTypes.h"

// The chosen directory, ending in a backslash; empty when none is usable, with `why` (for the
// user) set.
AnsiText EngineHome(AnsiText* why = nullptr);
