// The download engine's C interface. The parameter and information blocks are raw memory in the
// layouts read and written by TaskBlocks; a task handle of 0 is none.
#pragma once

#include <stdint.h>

typedef int XL_BOOL;
typedef void* XL_TASK;

#define XL_FUNCTIONS(X)                                             \
  X(XL_BOOL, XL_Init, (void), ())                                   \
  X(XL_BOOL, XL_UnInit, (void), ())                                 \
  X(XL_TASK, XL_CreateTask, (const void* paramBlock), (paramBlock)) \
  X(XL_BOOL, XL_StartTask, (XL_TASK task), (task))                  \
  X(XL_BOOL, XL_QueryTaskInfoEx, (XL_TASK task, void* infoBlock), (task, infoBlock))

#define XL_DECLARE(ret, name, params, args) ret name params;
extern "C" {
XL_FUNCTIONS(XL_DECLARE)
}
#undef XL_DECLARE
