// Fonts and text measurement. The stand-in has no font files: a font's
// metrics follow from its LOGFONT alone, by these rules, so layouts are the
// same on every machine:
//   - cell height (tmHeight): lfHeight when positive, -lfHeight when
//     negative, 16 when zero; clamped to 1..16384 pixels;
//   - internal leading: height / 8 for a positive (cell) height, 0 for a
//     negative (character) height;
//   - descent: height / 5, ascent: the rest;
//   - every single-byte character, and every UTF-16 character outside the
//     East Asian wide ranges, is tmAveCharWidth wide: |lfWidth| when set,
//     else max(1, height / 2); double-byte characters of the font's code
//     page and East Asian wide characters are twice that (tmMaxCharWidth);
//     a lead and a trail byte that the code page leaves undefined are one
//     single-width default character;
//   - weight, italics and the face name change no width.
#include "gdi_internal.h"

#include <algorithm>
#include <cstring>

namespace mrw_gdi {
namespace {

constexpr int kDefaultCellHeight = 16;
constexpr std::int64_t kMaxFontSize = 16384;

bool IsHighSurrogate(std::uint32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// East Asian wide characters: Hangul Jamo, CJK and Kana blocks, Hangul
// syllables, compatibility ideographs and forms, fullwidth forms, and the
// ideographs of planes 2 and 3.
bool IsWideCodePoint(std::uint32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Characters that leave no mark: controls, spaces and the ideographic space.
bool IsBlankCodePoint(std::uint32_t c) {
  return c < 0x20 || c == 0x20 || c == 0x7F || c == 0xA0 || c == 0x3000;
}

// A trail byte of every double-byte code page the fonts know lies in 0x40-0xFE.
bool IsTrailByte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFE;
}

bool IsLeadByte(UINT codePage, unsigned char byte) {
  return byte >= 0x80 && IsDBCSLeadByteEx(codePage, byte);
}

// A lead byte and a trail byte that the code page maps to a character; a
// pair it leaves undefined is drawn as one default character ("?").
bool IsDefinedPair(UINT codePage, unsigned char lead, unsigned char trail, WCHAR* pUnit) {
  if (!IsLeadByte(codePage, lead) || !IsTrailByte(trail)) return false;
  const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, pair, 2, pUnit, 1) == 1;
}

BYTE CharSetOfCodePage(UINT codePage) {
  switch (codePage) {
    case 932:
      return SHIFTJIS_CHARSET;
    case 936:
      return GB2312_CHARSET;
    case 949:
      return HANGEUL_CHARSET;
    case 950:
      return CHINESEBIG5_CHARSET;
    default:
      return ANSI_CHARSET;
  }
}

DcObject* LockedDc(HDC hdc) {
  return FindDc(hdc);
}

int ClampExtent(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, INT_MAX));
}

// Extent of a run: every character's width plus the DC's character extra.
std::int64_t RunExtent(const std::vector<Glyph>& glyphs, int extra) {
  std::int64_t total = 0;
  for (const Glyph& glyph : glyphs) total += glyph.width + extra;
  return total;
}

// Fills the fit count and partial extents of GetTextExtentExPoint: one
// entry per source unit, both units of a double-unit character getting the
// extent after the whole character.
void PartialExtents(const std::vector<Glyph>& glyphs, int extra, int maxExtent, LPINT lpnFit, LPINT lpnDx) {
  std::int64_t total = 0;
  int units = 0;
  int fit = 0;
  bool fitting = true;
  for (const Glyph& glyph : glyphs) {
    total += glyph.width + extra;
    if (fitting && lpnFit && maxExtent >= 0 && total > maxExtent) fitting = false;
    if (fitting) fit += glyph.units;
    if (lpnDx && (fitting || !lpnFit)) {
      for (int i = 0; i < glyph.units; ++i) lpnDx[units + i] = ClampExtent(total);
    }
    units += glyph.units;
  }
  if (lpnFit) *lpnFit = fit;
}

template <typename TextMetric>
void FillTextMetric(const FontObject& font, TextMetric* tm) {
  const FontMetrics& m = font.metrics;
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internalLeading;
  tm->tmExternalLeading = 0;
  tm->tmAveCharWidth = m.aveWidth;
  tm->tmMaxCharWidth = m.maxWidth;
  tm->tmWeight = m.weight;
  tm->tmOverhang = 0;
  tm->tmDigitizedAspectX = 96;
  tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = sizeof(tm->tmLastChar) == 1 ? 0xFF : 0xFFFF;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = font.lf.lfItalic ? 1 : 0;
  tm->tmUnderlined = font.lf.lfUnderline ? 1 : 0;
  tm->tmStruckOut = font.lf.lfStrikeOut ? 1 : 0;
  tm->tmPitchAndFamily = m.pitchAndFamily;
  tm->tmCharSet = m.charSet;
}

}  // namespace

UINT CodePageOfCharSet(BYTE charSet) {
  switch (charSet) {
    case SHIFTJIS_CHARSET:
      return 932;
    case HANGEUL_CHARSET:
      return 949;
    case JOHAB_CHARSET:
      return 1361;
    case GB2312_CHARSET:
      return 936;
    case CHINESEBIG5_CHARSET:
      return 950;
    case GREEK_CHARSET:
      return 1253;
    case TURKISH_CHARSET:
      return 1254;
    case VIETNAMESE_CHARSET:
      return 1258;
    case HEBREW_CHARSET:
      return 1255;
    case ARABIC_CHARSET:
      return 1256;
    case BALTIC_CHARSET:
      return 1257;
    case RUSSIAN_CHARSET:
      return 1251;
    case THAI_CHARSET:
      return 874;
    case EASTEUROPE_CHARSET:
      return 1250;
    default:  // ANSI, default, symbol, OEM: the system's code page
      return GetACP();
  }
}

FontMetrics ComputeFontMetrics(const LOGFONTA& lf) {
  FontMetrics m;
  const std::int64_t requested = lf.lfHeight;
  const std::int64_t height = requested == 0 ? kDefaultCellHeight : (requested < 0 ? -requested : requested);
  m.height = static_cast<int>(std::clamp<std::int64_t>(height, 1, kMaxFontSize));
  m.internalLeading = requested < 0 ? 0 : m.height / 8;
  m.descent = m.height / 5;
  m.ascent = m.height - m.descent;
  const std::int64_t width = lf.lfWidth < 0 ? -static_cast<std::int64_t>(lf.lfWidth) : lf.lfWidth;
  m.aveWidth = width != 0 ? static_cast<int>(std::min(width, kMaxFontSize)) : std::max(1, m.height / 2);
  m.maxWidth = 2 * m.aveWidth;
  m.weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
  m.charSet = lf.lfCharSet == DEFAULT_CHARSET ? CharSetOfCodePage(GetACP()) : lf.lfCharSet;
  m.codePage = CodePageOfCharSet(m.charSet);
  const int pitch = lf.lfPitchAndFamily & 0x03;
  const int family = lf.lfPitchAndFamily & 0xF0;
  const bool fixed = pitch == FIXED_PITCH || (pitch == DEFAULT_PITCH && family == FF_MODERN);
  // TMPF_FIXED_PITCH set means variable pitch.
  m.pitchAndFamily = static_cast<BYTE>(family | TMPF_VECTOR | TMPF_TRUETYPE | (fixed ? 0 : TMPF_FIXED_PITCH));
  return m;
}

std::vector<Glyph> GlyphsOfA(const FontObject& font, const char* text, int count) {
  std::vector<Glyph> glyphs;
  if (!text || count <= 0) return glyphs;
  const UINT codePage = font.metrics.codePage;
  const int single = font.metrics.aveWidth;
  glyphs.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count;) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (i + 1 < count && IsLeadByte(codePage, byte) && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
      WCHAR unit = 0;
      const bool defined = IsDefinedPair(codePage, byte, static_cast<unsigned char>(text[i + 1]), &unit);
      glyphs.push_back(Glyph{defined ? 2 * single : single, 2, defined && unit == 0x3000});
      i += 2;
    } else {
      // A lone lead byte counts as one narrow (default) character.
      glyphs.push_back(Glyph{single, 1, byte < 0x80 && IsBlankCodePoint(byte)});
      i += 1;
    }
  }
  return glyphs;
}

std::vector<Glyph> GlyphsOfW(const FontObject& font, const WCHAR* text, int count) {
  std::vector<Glyph> glyphs;
  if (!text || count <= 0) return glyphs;
  const int single = font.metrics.aveWidth;
  glyphs.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count;) {
    const auto unit = static_cast<std::uint32_t>(static_cast<std::uint16_t>(text[i]));
    if (IsHighSurrogate(unit) && i + 1 < count && IsLowSurrogate(static_cast<std::uint16_t>(text[i + 1]))) {
      const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
      const std::uint32_t codePoint = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      glyphs.push_back(Glyph{IsWideCodePoint(codePoint) ? 2 * single : single, 2, false});
      i += 2;
    } else {
      glyphs.push_back(Glyph{IsWideCodePoint(unit) ? 2 * single : single, 1, IsBlankCodePoint(unit)});
      i += 1;
    }
  }
  return glyphs;
}

std::u16string TextToUtf16(const FontObject& font, const char* text, int count) {
  std::u16string out;
  if (!text || count <= 0) return out;
  const int needed = MultiByteToWideChar(font.metrics.codePage, 0, text, count, nullptr, 0);
  if (needed > 0) {
    std::vector<WCHAR> units(static_cast<std::size_t>(needed));
    if (MultiByteToWideChar(font.metrics.codePage, 0, text, count, units.data(), needed) == needed) {
      for (WCHAR unit : units) out.push_back(static_cast<char16_t>(unit));
      return out;
    }
  }
  for (int i = 0; i < count; ++i) out.push_back(static_cast<unsigned char>(text[i]));  // byte for byte
  return out;
}

FontObject& SelectedFont(DcObject& dc) {
  if (FontObject* font = FindFont(dc.state.font)) return *font;
  return *FindFont(StockObject(SYSTEM_FONT));
}

}  // namespace mrw_gdi

using namespace mrw_gdi;

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || !lptm) return FALSE;
  FillTextMetric(SelectedFont(*dc), lptm);
  return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || !lptm) return FALSE;
  FillTextMetric(SelectedFont(*dc), lptm);
  return TRUE;
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc) return 0;
  const char* face = SelectedFont(*dc).lf.lfFaceName;
  const int length = static_cast<int>(std::strlen(face));
  if (!lpName) return length + 1;
  if (c <= 0) return 0;
  const int copied = std::min(length, c - 1);
  std::memcpy(lpName, face, static_cast<std::size_t>(copied));
  lpName[copied] = '\0';
  return copied;
}

int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc) return 0;
  const std::u16string& face = SelectedFont(*dc).faceW;
  const int length = static_cast<int>(face.size());
  if (!lpName) return length + 1;
  if (c <= 0) return 0;
  const int copied = std::min(length, c - 1);
  for (int i = 0; i < copied; ++i) lpName[i] = static_cast<WCHAR>(face[static_cast<std::size_t>(i)]);
  lpName[copied] = 0;
  return copied;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || !psizl || c < 0 || (!lpString && c > 0)) return FALSE;
  FontObject& font = SelectedFont(*dc);
  psizl->cx = ClampExtent(RunExtent(GlyphsOfA(font, lpString, c), dc->state.charExtra));
  psizl->cy = font.metrics.height;
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || !psizl || c < 0 || (!lpString && c > 0)) return FALSE;
  FontObject& font = SelectedFont(*dc);
  psizl->cx = ClampExtent(RunExtent(GlyphsOfW(font, lpString, c), dc->state.charExtra));
  psizl->cy = font.metrics.height;
  return TRUE;
}

BOOL WINAPI GetTextExtentExPointA(HDC hdc, LPCSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit,
                                  LPINT lpnDx, LPSIZE lpSize) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || !lpSize || cchString < 0 || (!lpszString && cchString > 0)) return FALSE;
  FontObject& font = SelectedFont(*dc);
  const std::vector<Glyph> glyphs = GlyphsOfA(font, lpszString, cchString);
  PartialExtents(glyphs, dc->state.charExtra, nMaxExtent, lpnFit, lpnDx);
  lpSize->cx = ClampExtent(RunExtent(glyphs, dc->state.charExtra));
  lpSize->cy = font.metrics.height;
  return TRUE;
}

BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit,
                                  LPINT lpnDx, LPSIZE lpSize) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || !lpSize || cchString < 0 || (!lpszString && cchString > 0)) return FALSE;
  FontObject& font = SelectedFont(*dc);
  const std::vector<Glyph> glyphs = GlyphsOfW(font, lpszString, cchString);
  PartialExtents(glyphs, dc->state.charExtra, nMaxExtent, lpnFit, lpnDx);
  lpSize->cx = ClampExtent(RunExtent(glyphs, dc->state.charExtra));
  lpSize->cy = font.metrics.height;
  return TRUE;
}

namespace {

// Width of a character code: ANSI codes above 0xFF are lead byte * 256 +
// trail byte; wide codes are UTF-16 code points.
int CharWidthOf(const FontObject& font, UINT code, bool wide) {
  const int single = font.metrics.aveWidth;
  if (wide) return IsWideCodePoint(code) ? 2 * single : single;
  if (code <= 0xFF) return single;
  const auto lead = static_cast<unsigned char>((code >> 8) & 0xFF);
  const auto trail = static_cast<unsigned char>(code & 0xFF);
  WCHAR unit = 0;
  return code <= 0xFFFF && IsDefinedPair(font.metrics.codePage, lead, trail, &unit) ? 2 * single : single;
}

template <typename Store>
BOOL ForEachCharWidth(HDC hdc, UINT first, UINT last, bool wide, Store&& store) {
  Lock lock(Mutex());
  DcObject* dc = LockedDc(hdc);
  if (!dc || last < first) return FALSE;
  const FontObject& font = SelectedFont(*dc);
  for (UINT code = first;; ++code) {
    store(code - first, CharWidthOf(font, code, wide));
    if (code == last) break;
  }
  return TRUE;
}

}  // namespace

BOOL WINAPI GetCharWidth32A(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
  if (!lpBuffer) return FALSE;
  return ForEachCharWidth(hdc, iFirst, iLast, false, [&](UINT i, int width) { lpBuffer[i] = width; });
}

BOOL WINAPI GetCharWidthA(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
  return GetCharWidth32A(hdc, iFirst, iLast, lpBuffer);
}

BOOL WINAPI GetCharWidth32W(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
  if (!lpBuffer) return FALSE;
  return ForEachCharWidth(hdc, iFirst, iLast, true, [&](UINT i, int width) { lpBuffer[i] = width; });
}

BOOL WINAPI GetCharWidthW(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
  return GetCharWidth32W(hdc, iFirst, iLast, lpBuffer);
}

BOOL WINAPI GetCharABCWidthsA(HDC hdc, UINT wFirst, UINT wLast, LPABC lpABC) {
  if (!lpABC) return FALSE;
  return ForEachCharWidth(hdc, wFirst, wLast, false, [&](UINT i, int width) {
    lpABC[i] = ABC{0, static_cast<UINT>(width), 0};
  });
}

BOOL WINAPI GetCharABCWidthsW(HDC hdc, UINT wFirst, UINT wLast, LPABC lpABC) {
  if (!lpABC) return FALSE;
  return ForEachCharWidth(hdc, wFirst, wLast, true, [&](UINT i, int width) {
    lpABC[i] = ABC{0, static_cast<UINT>(width), 0};
  });
}
