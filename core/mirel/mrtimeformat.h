// Formats a local time with the strftime conversions that every runtime
// shares, without touching the process's C locale: names and the date and
// time conversions come from the user's default locale where the system
// provides them (the C locale's otherwise).
#pragma once

#include <windows.h>

#include <cstddef>

// Writes the formatted time and a terminator into pBuf; returns the length,
// or 0 (nothing usable) when the format holds a conversion other than
// a A b B c d H I j m M p S U w W x X y Y %% (each optionally with '#',
// which drops leading zeros and asks for the long date), or when the result
// does not fit nSize bytes.
size_t MrFormatTime(char* pBuf, size_t nSize, const char* pszFormat, const SYSTEMTIME& st);
