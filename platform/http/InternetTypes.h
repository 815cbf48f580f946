// Types shared by the WinHTTP and WinINet stand-ins.
#pragma once

#include <cstdint>

#include "platform/win32/Win32.h"

typedef void* HINTERNET;
typedef WORD INTERNET_PORT;
typedef uintptr_t DWORD_PTR;
