// The download engine library, loaded from the directory it was unpacked into. The five engine
// functions are resolved together; a library missing any of them is not used.
#pragma once

#include "platform/xldl/XlDownload.h"
#include "shell/SharedTypes.h"

struct EngineFunctions {
#define XL_POINTER(ret, name, params, args) ret(*name) params = nullptr;
  XL_FUNCTIONS(XL_POINTER)
#undef XL_POINTER
};

// Loads `directory` + "xldl.dll" (a Windows-style CP936 path) and makes it the current engine.
// The library stays loaded for the life of the process; loading the same path again gives the
// same library. Nullptr when the file cannot be loaded or lacks a function.
const EngineFunctions* LoadEngineLibrary(const AnsiText& directory);
// The engine loaded last, or nullptr before any deployment succeeded.
const EngineFunctions* CurrentEngine();
