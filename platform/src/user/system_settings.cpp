// System colours, metrics and parameters of the headless desktop: a single
// 1024x768 screen with the classic Windows colour scheme and metrics.
#include <array>
#include <map>

#include "user/user_state.h"

namespace mrw_user {

namespace {

constexpr int kColorCount = COLOR_MENUBAR + 1;

constexpr std::array<COLORREF, kColorCount> kDefaultColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // (no colour has index 25)
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

constexpr bool IsColorIndex(int i) {
  return i >= 0 && i < kColorCount && i != 25;
}

struct Metric {
  int index;
  int value;
};

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kFrame = 4;
constexpr int kCaption = 18;

constexpr Metric kDefaultMetrics[] = {
    {SM_CXSCREEN, kScreenWidth},
    {SM_CYSCREEN, kScreenHeight},
    {SM_CXVSCROLL, 16},
    {SM_CYHSCROLL, 16},
    {SM_CYCAPTION, kCaption},
    {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3},
    {SM_CYVTHUMB, 16},
    {SM_CXHTHUMB, 16},
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},
    {SM_CYMENU, 19},
    {SM_CXFULLSCREEN, kScreenWidth},
    {SM_CYFULLSCREEN, kScreenHeight - kCaption},
    {SM_MOUSEPRESENT, 1},
    {SM_CYVSCROLL, 16},
    {SM_CXHSCROLL, 16},
    {SM_CXMIN, 112},
    {SM_CYMIN, 27},
    {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},
    {SM_CXFRAME, kFrame},
    {SM_CYFRAME, kFrame},
    {SM_CXMINTRACK, 112},
    {SM_CYMINTRACK, 27},
    {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},
    {SM_CXICONSPACING, 75},
    {SM_CYICONSPACING, 75},
    {SM_CMOUSEBUTTONS, 3},
    {SM_CXEDGE, 2},
    {SM_CYEDGE, 2},
    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},
    {SM_CYSMCAPTION, 15},
    {SM_CXMAXTRACK, kScreenWidth + 2 * kFrame},
    {SM_CYMAXTRACK, kScreenHeight + 2 * kFrame},
    {SM_CXMAXIMIZED, kScreenWidth + 2 * kFrame},
    {SM_CYMAXIMIZED, kScreenHeight + 2 * kFrame},
    {SM_CXDRAG, 4},
    {SM_CYDRAG, 4},
    {SM_CXMENUCHECK, 13},
    {SM_CYMENUCHECK, 13},
    {SM_MOUSEWHEELPRESENT, 1},
    {SM_CXVIRTUALSCREEN, kScreenWidth},
    {SM_CYVIRTUALSCREEN, kScreenHeight},
    {SM_CMONITORS, 1},
    {SM_CXFOCUSBORDER, 1},
    {SM_CYFOCUSBORDER, 1},
};

constexpr UINT kDefaultWheelLines = 3;
constexpr UINT kDefaultDoubleClickTime = 500;
constexpr DWORD kDefaultCaretWidth = 1;

struct Settings {
  std::array<COLORREF, kColorCount> colors = kDefaultColors;
  std::map<COLORREF, HBRUSH> brushes;  // permanent brushes, one per colour ever used
  std::map<int, int> metricOverrides;
  UINT wheelLines = kDefaultWheelLines;
};

Settings& Current() {
  static Settings* settings = new Settings();
  return *settings;
}

// East Asian code pages have double-byte characters and an input method.
bool IsEastAsianCodePage(UINT cp) {
  return cp == 932 || cp == 936 || cp == 949 || cp == 950 || cp == 1361;
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

DWORD WINAPI GetSysColor(int nIndex) {
  return IsColorIndex(nIndex) ? Current().colors[static_cast<size_t>(nIndex)] : 0;
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
  if (!IsColorIndex(nIndex)) return nullptr;
  Settings& s = Current();
  COLORREF color = s.colors[static_cast<size_t>(nIndex)];
  HBRUSH& brush = s.brushes[color];
  if (!brush) brush = MrwGdiCreatePermanentBrush(color);
  return brush;
}

int WINAPI GetSystemMetrics(int nIndex) {
  Settings& s = Current();
  auto it = s.metricOverrides.find(nIndex);
  if (it != s.metricOverrides.end()) return it->second;
  if (nIndex == SM_DBCSENABLED || nIndex == SM_IMMENABLED) return IsEastAsianCodePage(GetACP()) ? 1 : 0;
  for (const Metric& m : kDefaultMetrics)
    if (m.index == nIndex) return m.value;
  return 0;
}

UINT WINAPI GetDoubleClickTime(void) {
  return kDefaultDoubleClickTime;
}

BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT /*uiParam*/, PVOID pvParam, UINT /*fWinIni*/) {
  if (!pvParam) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  switch (uiAction) {
    case SPI_GETWHEELSCROLLLINES:
      *static_cast<UINT*>(pvParam) = Current().wheelLines;
      return TRUE;
    case SPI_GETWHEELSCROLLCHARS:
      *static_cast<UINT*>(pvParam) = kDefaultWheelLines;
      return TRUE;
    case SPI_GETWORKAREA:
      *static_cast<RECT*>(pvParam) = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      return TRUE;
    case SPI_GETCARETWIDTH:
      *static_cast<DWORD*>(pvParam) = kDefaultCaretWidth;
      return TRUE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

void MrwTestSetSysColor(int nIndex, COLORREF color) {
  if (!IsColorIndex(nIndex)) return;
  // Brushes handed out for the old colour stay valid for whoever holds them.
  Current().colors[static_cast<size_t>(nIndex)] = color;
}

void MrwTestSetSystemMetric(int nIndex, int nValue) {
  Current().metricOverrides[nIndex] = nValue;
}

void MrwTestSetWheelScrollLines(UINT nLines) {
  Current().wheelLines = nLines;
}

void MrwTestResetSystemSettings(void) {
  Settings& s = Current();
  s.colors = kDefaultColors;
  s.metricOverrides.clear();
  s.wheelLines = kDefaultWheelLines;
}
