// The toolkit library the executable carries, and the loader behind shell/toolkit/xcgui.h.
#pragma once

// Writes the carried toolkit library as XCGUI.dll in the current directory when no file of that
// name exists (an existing one is never replaced, whatever it holds), then sleeps 10 ms.
void EnsureToolkitLibrary();

// The carried library's bytes.
const unsigned char* ToolkitPayload();
unsigned long ToolkitPayloadSize();
