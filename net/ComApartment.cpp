#include "net/ComApartment.h"

#include "platform/win32/Win32.h"

void ComEnter() { CoInitialize(nullptr); }

void ComLeave() { CoUninitialize(); }
