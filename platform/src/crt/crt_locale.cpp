// Locale objects for code pages: only ".<code page>" and "C" are known.
#include <crt_locale.h>
#include <windows.h>

#include <cstring>

struct mrw_locale_data {
  UINT nCodePage;
};

_locale_t _create_locale(int category, const char* locale) {
  if (locale == nullptr || category < LC_ALL) return nullptr;
  if (std::strcmp(locale, "C") == 0) return new mrw_locale_data{0};
  if (locale[0] != '.' || locale[1] == '\0') return nullptr;
  unsigned long cp = 0;
  for (const char* p = locale + 1; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || cp > 0xFFFF) return nullptr;
    cp = cp * 10 + static_cast<unsigned long>(*p - '0');
  }
  if (cp == 0 || cp > 0xFFFF || cp == CP_UTF8 || !IsValidCodePage(static_cast<UINT>(cp))) return nullptr;
  return new mrw_locale_data{static_cast<UINT>(cp)};
}

void _free_locale(_locale_t locale) {
  delete locale;
}
