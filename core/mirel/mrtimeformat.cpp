// Time formatting for the date command.
#include "mirel/mrtimeformat.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

BOOL IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DayOfYear(const SYSTEMTIME& st) {
  static constexpr int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int m = st.wMonth >= 1 && st.wMonth <= 12 ? st.wMonth - 1 : 0;
  return kBefore[m] + st.wDay - 1 + (IsLeap(st.wYear) && m > 1 ? 1 : 0);
}

#ifdef _WIN32
// A name from the user's default locale; FALSE when the system has none.
BOOL LocaleText(LCTYPE type, std::string* pOut) {
  char buf[128];
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
  if (n <= 1) return FALSE;
  pOut->assign(buf, static_cast<size_t>(n - 1));
  return TRUE;
}
#endif

std::string DayName(const SYSTEMTIME& st, BOOL bFull) {
  const int d = st.wDayOfWeek % 7;
  std::string s;
#ifdef _WIN32
  // The locale lists the days from Monday.
  const int nFromMonday = (d + 6) % 7;
  if (LocaleText((bFull ? LOCALE_SDAYNAME1 : LOCALE_SABBREVDAYNAME1) + nFromMonday, &s)) return s;
#endif
  s = kDays[d];
  return bFull ? s : s.substr(0, 3);
}

std::string MonthName(const SYSTEMTIME& st, BOOL bFull) {
  const int m = st.wMonth >= 1 && st.wMonth <= 12 ? st.wMonth - 1 : 0;
  std::string s;
#ifdef _WIN32
  if (LocaleText((bFull ? LOCALE_SMONTHNAME1 : LOCALE_SABBREVMONTHNAME1) + m, &s)) return s;
#endif
  s = kMonths[m];
  return bFull ? s : s.substr(0, 3);
}

std::string AmPm(const SYSTEMTIME& st) {
  std::string s;
#ifdef _WIN32
  if (LocaleText(st.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359, &s)) return s;
#endif
  return st.wHour < 12 ? "AM" : "PM";
}

std::string Number(int n, int nDigits, BOOL bNoPad) {
  char buf[16];
  if (bNoPad) {
    std::snprintf(buf, sizeof buf, "%d", n);
  } else {
    std::snprintf(buf, sizeof buf, "%0*d", nDigits, n);
  }
  return buf;
}

std::string DateText(const SYSTEMTIME& st, BOOL bLong) {
#ifdef _WIN32
  char buf[128];
  if (GetDateFormatA(LOCALE_USER_DEFAULT, bLong ? DATE_LONGDATE : DATE_SHORTDATE, &st, nullptr, buf,
                     sizeof buf) > 1)
    return buf;
#endif
  if (bLong)
    return DayName(st, TRUE) + ", " + MonthName(st, TRUE) + " " + Number(st.wDay, 2, FALSE) + ", " +
           Number(st.wYear, 4, FALSE);
  return Number(st.wMonth, 2, FALSE) + "/" + Number(st.wDay, 2, FALSE) + "/" +
         Number(st.wYear % 100, 2, FALSE);
}

std::string TimeText(const SYSTEMTIME& st) {
#ifdef _WIN32
  char buf[128];
  if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf) > 1) return buf;
#endif
  return Number(st.wHour, 2, FALSE) + ":" + Number(st.wMinute, 2, FALSE) + ":" + Number(st.wSecond, 2, FALSE);
}

}  // namespace

size_t MrFormatTime(char* pBuf, size_t nSize, const char* pszFormat, const SYSTEMTIME& st) {
  if (pBuf == nullptr || nSize == 0 || pszFormat == nullptr) return 0;
  const int yday = DayOfYear(st);
  const int wday = st.wDayOfWeek % 7;
  std::string out;
  for (const char* p = pszFormat; *p != '\0'; ++p) {
    if (*p != '%') {
      out.push_back(*p);
    } else {
      ++p;
      const BOOL bAlt = *p == '#';
      if (bAlt) ++p;
      switch (*p) {
        case 'a':
          out += DayName(st, FALSE);
          break;
        case 'A':
          out += DayName(st, TRUE);
          break;
        case 'b':
          out += MonthName(st, FALSE);
          break;
        case 'B':
          out += MonthName(st, TRUE);
          break;
        case 'c':
          out += DateText(st, bAlt) + " " + TimeText(st);
          break;
        case 'd':
          out += Number(st.wDay, 2, bAlt);
          break;
        case 'H':
          out += Number(st.wHour, 2, bAlt);
          break;
        case 'I':
          out += Number(st.wHour % 12 == 0 ? 12 : st.wHour % 12, 2, bAlt);
          break;
        case 'j':
          out += Number(yday + 1, 3, bAlt);
          break;
        case 'm':
          out += Number(st.wMonth, 2, bAlt);
          break;
        case 'M':
          out += Number(st.wMinute, 2, bAlt);
          break;
        case 'p':
          out += AmPm(st);
          break;
        case 'S':
          out += Number(st.wSecond, 2, bAlt);
          break;
        case 'U':
          out += Number((yday + 7 - wday) / 7, 2, bAlt);
          break;
        case 'w':
          out += Number(wday, 1, bAlt);
          break;
        case 'W':
          out += Number((yday + 7 - (wday + 6) % 7) / 7, 2, bAlt);
          break;
        case 'x':
          out += DateText(st, bAlt);
          break;
        case 'X':
          out += TimeText(st);
          break;
        case 'y':
          out += Number(st.wYear % 100, 2, bAlt);
          break;
        case 'Y':
          out += Number(st.wYear, 4, bAlt);
          break;
        case '%':
          out.push_back('%');
          break;
        default:
          return 0;  // unknown or cut off at the end
      }
    }
    if (out.size() >= nSize) return 0;
  }
  std::memcpy(pBuf, out.c_str(), out.size() + 1);
  return out.size();
}
