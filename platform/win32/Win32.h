// The subset of the Windows user, kernel and shell interfaces that the launcher calls, built on
// POSIX. Names, argument orders and constants are the Windows ones so the calling code reads as
// it would there; pointer-sized values (window procedures, LONG_PTR) are 64-bit here.
//
// Texts named ...A are "ANSI" texts: code page 936 bytes. Paths may use backslashes; every
// function that touches the file system turns them into POSIX paths with QbNativePath.
//
// One copy of this library exists per process (libwin32.so), shared by the executable and the
// toolkit library, so message queues and window handles are common to both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#ifndef QB_WIN32_BASIC_TYPES
#define QB_WIN32_BASIC_TYPES
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned int UINT;
typedef uint32_t COLORREF;
typedef intptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef struct HWND__* HWND;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#endif

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef intptr_t LONG_PTR;
typedef uint16_t WORD;
typedef void* HANDLE;
typedef char16_t WCHAR;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

union LARGE_INTEGER {
  int64_t QuadPart;
};
struct RECT {
  LONG left, top, right, bottom;
};
struct POINT {
  LONG x, y;
};
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define MAX_PATH 260

// Messages.
enum : UINT {
  WM_NULL = 0x0000,
  WM_SIZE = 0x0005,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_MOUSEMOVE = 0x0200,
  WM_MOUSELEAVE = 0x02A3,
  WM_USER = 0x0400,
  WM_APP = 0x8000,
};
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };
enum : DWORD { QS_ALLINPUT = 0x04FF, QS_ALLEVENTS = 0x04BF };
enum : DWORD { WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 258, WAIT_FAILED = 0xFFFFFFFF, INFINITE = 0xFFFFFFFF };
enum : int { GWL_WNDPROC = -4 };
enum : UINT { GA_PARENT = 1, GA_ROOT = 2, GW_HWNDNEXT = 2, GW_CHILD = 5 };
enum : UINT {
  MB_OK = 0x0,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_ICONMASK = 0xF0,
  MB_TASKMODAL = 0x2000,
  IDOK = 1
};
enum : int { VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12 };
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5 };
enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1 };
enum : DWORD { PROCESS_ALL_ACCESS = 0x1F0FFF };
enum : DWORD { TH32CS_SNAPPROCESS = 0x2, TH32CS_SNAPALL = 0xF };
enum : DWORD { FILE_ATTRIBUTE_DIRECTORY = 0x10, FILE_ATTRIBUTE_NORMAL = 0x80 };
enum : DWORD { GENERIC_READ = 0x80000000, GENERIC_WRITE = 0x40000000 };
enum : DWORD { CREATE_NEW = 1, CREATE_ALWAYS = 2, OPEN_EXISTING = 3 };
enum : DWORD { HEAP_ZERO_MEMORY = 0x8 };
enum : UINT { CP_ACP = 0, CP_GBK = 936, CP_UTF8 = 65001 };

struct PROCESSENTRY32 {
  DWORD dwSize;
  DWORD cntUsage;
  DWORD th32ProcessID;
  DWORD th32ParentProcessID;
  LONG cntThreads;
  char szExeFile[MAX_PATH];
};
struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  uint64_t nFileSize;
  char cFileName[MAX_PATH];
};

extern "C" {

// ---- code pages (0 is 936 here) ----
// The code page of the terminal the program writes to: the user's locale's character set
// (65001 for UTF-8, 936 for the GB encodings); 65001 for anything else.
UINT GetConsoleOutputCP();
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* in, int inLength, WCHAR* out,
                        int outCapacity);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* in, int inLength, char* out, int outCapacity,
                        const char* defaultChar, BOOL* usedDefault);
int lstrlenW(const WCHAR* text);
int lstrcmpA(const char* a, const char* b);
int lstrcmpiA(const char* a, const char* b);

// ---- time and threads ----
void Sleep(DWORD milliseconds);
DWORD GetTickCount();
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();

// ---- kernel objects ----
BOOL CloseHandle(HANDLE handle);
HANDLE CreateWaitableTimerA(void* attributes, BOOL manualReset, const char* name);
BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* dueTime, LONG period, void* completion, void* arg,
                      BOOL resume);
HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, const char* name);
BOOL SetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask);

// ---- message queues (one per thread, made on first use) ----
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove);
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// ---- windows ----
HWND QbCreateWindow(WNDPROC procedure, HWND parent);  // owned by the calling thread
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
void QbSetWindowRect(HWND window, const RECT* rect);  // the toolkit reports where a window is
BOOL GetWindowRect(HWND window, RECT* rect);
LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongA(HWND window, int index);
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetPropA(HWND window, const char* name, HANDLE value);
HANDLE GetPropA(HWND window, const char* name);
HANDLE RemovePropA(HWND window, const char* name);
HWND GetAncestor(HWND window, UINT flags);
HWND GetWindow(HWND window, UINT command);
short GetAsyncKeyState(int virtualKey);
void QbSetKeyState(int virtualKey, BOOL down);  // the toolkit reports key state here
// Screen coordinates here are the toolkit's window pixels: device pixels divided by the display
// scale the toolkit found (1 until it says otherwise), as a program that knows nothing of HiDPI
// expects them.
void QbSetDisplayScale(int scale);
int QbDisplayScale();
BOOL GetCursorPos(POINT* point);
int GetSystemMetrics(int index);  // SM_CXSCREEN, SM_CYSCREEN; 0 without a display
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// ---- processes ----
HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry);
BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry);
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId);
BOOL TerminateProcess(HANDLE process, UINT exitCode);

// ---- shell ----
// Starts `file` with `parameters` as its one argument (verb "open"); a bare file name is looked
// for in the current directory, then beside the executable, then on PATH. Greater than 32 on
// success, as there.
intptr_t ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show);

// ---- files ----
HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void* security, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* written, void* overlapped);
BOOL ReadFile(HANDLE file, void* data, DWORD length, DWORD* read, void* overlapped);
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);
BOOL DeleteFileA(const char* path);
BOOL PathIsDirectoryA(const char* path);                  // FILE_ATTRIBUTE_DIRECTORY or 0
BOOL MakeSureDirectoryPathExists(const char* path);       // creates every directory up to the last separator
DWORD GetTempPathA(DWORD capacity, char* buffer);         // always ends in a separator
DWORD GetModuleDirectoryA(char* buffer, DWORD capacity);  // directory of the executable, no final separator

// ---- private heaps ----
HANDLE HeapCreate(DWORD options, size_t initialSize, size_t maximumSize);
void* HeapAlloc(HANDLE heap, DWORD flags, size_t size);
void* HeapReAlloc(HANDLE heap, DWORD flags, void* block, size_t size);
BOOL HeapFree(HANDLE heap, DWORD flags, void* block);
BOOL HeapDestroy(HANDLE heap);

// ---- checksums ----
DWORD RtlComputeCrc32(DWORD initial, const BYTE* data, int length);

// ---- COM apartment bookkeeping (per thread counts; the objects themselves are C++ classes) ----
long CoInitialize(void* reserved);
void CoUninitialize();

}  // extern "C"

// Turns a Windows-style ANSI path (code page 936, backslashes) into a POSIX path (UTF-8,
// slashes; doubled separators collapse as Windows would read them).
std::string QbNativePath(const char* ansiPath);

// A directory only the calling user can use, for files that are loaded and run from there (the
// download engine): made 0700 when missing, its parent folders too; an existing one must be a
// real directory (no link), the user's own, closed to group and others, on a file system that
// may run programs. Never renumbered.
enum QbPrivateDirectoryResult {
  kQbPrivateDirectoryOk = 0,
  kQbPrivateDirectoryNotMade = 1,  // it could not be created
  kQbPrivateDirectoryNotReal = 2,  // a link, or not a directory
  kQbPrivateDirectoryNotOurs = 3,  // another user owns it
  kQbPrivateDirectoryOpen = 4,     // group or others may enter or write it
  kQbPrivateDirectoryNoExec = 5,   // its file system is mounted noexec
};
QbPrivateDirectoryResult QbEnsurePrivateDirectory(const char* ansiPath);
// The user's runtime directory (XDG_RUNTIME_DIR) as ANSI text ending in a slash, or "" when
// the session has none.
std::string QbRuntimeDirectory();
// The user's cache directory (XDG_CACHE_HOME, else HOME/.cache) likewise, or "".
std::string QbUserCacheDirectory();
unsigned QbCurrentUserId();

// Called by PeekMessageA/GetMessageA/MsgWaitForMultipleObjects on the thread that installed it,
// so a UI library can turn its own events into posted messages. While a hook is installed, waits
// on that thread poll it every few milliseconds. Pass nullptr to remove.
using QbPumpHook = void (*)();
void QbSetThreadPumpHook(QbPumpHook hook);
// The descriptor the hook's event source becomes readable on (a display connection). With it,
// waits on that thread sleep until it is readable, a message is posted or their time is up,
// instead of polling the hook every few milliseconds; -1 goes back to polling.
void QbSetThreadPumpFd(int fd);

// SDL_InitSubSystem(SDL_INIT_VIDEO) that insists on the display the environment names: SDL
// silently falls back to an off-screen driver when the display refuses a connection (an X
// server does while it resets after its last client left), which would leave a running program
// with no window anyone can see. Retries for about two seconds; 0 on success, -1 (SDL_GetError
// says why) when no on-screen driver came up.
int QbInitSdlVideo();
