// The debug help library's minidump writer: its types only. The library is
// loaded at run time and its function looked up by name.
#pragma once

#include "win32_types.h"
#include "win32_kernel.h"

typedef enum _MINIDUMP_TYPE { MiniDumpNormal = 0x00000000 } MINIDUMP_TYPE;

typedef struct _MINIDUMP_EXCEPTION_INFORMATION {
  DWORD ThreadId;
  PEXCEPTION_POINTERS ExceptionPointers;
  BOOL ClientPointers;
} MINIDUMP_EXCEPTION_INFORMATION, *PMINIDUMP_EXCEPTION_INFORMATION;

// Never passed by the control: always NULL.
typedef struct _MINIDUMP_USER_STREAM_INFORMATION MINIDUMP_USER_STREAM_INFORMATION,
    *PMINIDUMP_USER_STREAM_INFORMATION;
typedef struct _MINIDUMP_CALLBACK_INFORMATION MINIDUMP_CALLBACK_INFORMATION, *PMINIDUMP_CALLBACK_INFORMATION;
