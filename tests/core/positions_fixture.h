// A document filled with a text for the position and metrics tests, and the
// screen measurements that expected widths are derived from.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"
#include "test_support.h"

namespace mirel_test {

// Bytes of a UTF-16 little-endian text.
inline std::string Utf16Bytes(const char16_t* text) {
  std::string out;
  for (; *text; ++text) {
    out.push_back(static_cast<char>(*text & 0xFF));
    out.push_back(static_cast<char>(*text >> 8));
  }
  return out;
}

// The font the documents of these tests use.
inline LOGFONTA TestFont(LONG nHeight = -16) {
  LOGFONTA lf{};
  lf.lfHeight = nHeight;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  return lf;
}

// Extents measured on the screen DC with a font (NULL: the DC's own font).
class ScreenMeasure {
 public:
  explicit ScreenMeasure(const LOGFONTA* pFont) {
    m_hdc = GetDC(nullptr);
    if (pFont != nullptr) m_hFont = CreateFontIndirectA(pFont);
    if (m_hdc != nullptr && m_hFont != nullptr) m_hOld = SelectObject(m_hdc, m_hFont);
  }
  ~ScreenMeasure() {
    if (m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    if (m_hFont != nullptr) DeleteObject(m_hFont);
    if (m_hdc != nullptr) ReleaseDC(nullptr, m_hdc);
  }
  ScreenMeasure(const ScreenMeasure&) = delete;
  ScreenMeasure& operator=(const ScreenMeasure&) = delete;

  int WidthA(const std::string& s) const {
    SIZE size{};
    return GetTextExtentPoint32A(m_hdc, s.data(), static_cast<int>(s.size()), &size) ? size.cx : -1;
  }
  int WidthW(char16_t unit) const {
    const WCHAR w = static_cast<WCHAR>(unit);
    SIZE size{};
    return GetTextExtentPoint32W(m_hdc, &w, 1, &size) ? size.cx : -1;
  }
  // Several units as one run: a surrogate pair is one glyph.
  int WidthW(const std::u16string& s) const {
    SIZE size{};
    const auto* p = reinterpret_cast<const WCHAR*>(s.data());
    return GetTextExtentPoint32W(m_hdc, p, static_cast<int>(s.size()), &size) ? size.cx : -1;
  }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm{};
    GetTextMetricsA(m_hdc, &tm);
    return tm;
  }
  HDC Dc() const { return m_hdc; }

 private:
  HDC m_hdc = nullptr;
  HFONT m_hFont = nullptr;
  HGDIOBJ m_hOld = nullptr;
};

// A document with the test font applied, holding a text.
class TextDoc {
 public:
  explicit TextDoc(int nEncoding = MIREL_ENCODING_ANSI, int nWrapMode = MIREL_WRAP_NONE, int nCodePage = 0) {
    doc.nFileEncoding = static_cast<BYTE>(nEncoding);
    doc.nCodePage = nCodePage;
    doc.nWrapMode = static_cast<BYTE>(nWrapMode);
    font = TestFont();
    doc.SetFont(&font);
    // Room for a few characters a row, so that wrap modes break rows.
    doc.nTextWidth = doc.nLeftMargin + 3 + 12 * doc.nAveCharWidth;
  }

  // Replaces the whole text; FALSE when the document refused it.
  bool SetText(const std::string& bytes) {
    if (!doc.NewFile()) return false;
    if (bytes.empty()) return true;
    return doc.InsertContents(0, reinterpret_cast<const BYTE*>(bytes.data()),
                              static_cast<DWORD>(bytes.size()), FALSE) != FALSE;
  }
  DWORD Length() { return doc.pContents != nullptr ? doc.pContents->GetTextLength() : 0; }
  const BYTE* Text() { return doc.pContents->GetText(0); }
  const MIREL_LINE& Row(int i) const { return doc.pLines[i]; }

  LOGFONTA font;
  CMirelDoc doc;
};

}  // namespace mirel_test
