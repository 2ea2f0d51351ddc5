// The C runtime's per-thread locale objects, as far as the control makes
// them: a locale named by a full stop and a code page number (".949").
#pragma once

#ifndef _WIN32
#include <clocale>

struct mrw_locale_data;
typedef mrw_locale_data* _locale_t;

// NULL when the name is not a full stop followed by a valid code page
// number, or "C".
_locale_t _create_locale(int category, const char* locale);
void _free_locale(_locale_t locale);
#endif
