// Documents for the selection tests: a text in one of the encodings with the
// test font, texts written once and encoded per encoding, and the screen
// widths the expected pixel positions are derived from.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/ccontentshandler.h"
#include "mirel/cmirel.h"
#include "mirel/cmireldoc.h"
#include "positions_fixture.h"

namespace mirel_sel_test {

// The Hangul syllable GA, a double-width character in every encoding here.
constexpr char16_t kGa = u'\uAC00';

// Bytes of a text in the encoding: ASCII as itself (two bytes in UTF-16),
// GA as the code-page-949 pair, the UTF-8 sequence or the UTF-16 unit.
inline std::string Encode(int nEncoding, const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (nEncoding == MIREL_ENCODING_UTF16LE) {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>(c >> 8));
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c == kGa) {
      out += nEncoding == MIREL_ENCODING_ANSI ? "\xB0\xA1" : "\xEA\xB0\x80";
    } else {
      ADD_FAILURE() << "no encoding for U+" << std::hex << static_cast<unsigned>(c);
    }
  }
  return out;
}

inline const char* EncodingName(int nEncoding) {
  switch (nEncoding) {
    case MIREL_ENCODING_ANSI:
      return "Ansi949";
    case MIREL_ENCODING_UTF16LE:
      return "Utf16";
    case MIREL_ENCODING_UTF8:
      return "Utf8";
    default:
      return "Other";
  }
}

// A document holding rows of text (joined by CR LF) in one encoding.
class SelDoc : public mirel_test::TextDoc {
 public:
  explicit SelDoc(int nEncoding, int nWrapMode = MIREL_WRAP_NONE)
      : TextDoc(nEncoding, nWrapMode, nEncoding == MIREL_ENCODING_ANSI ? 949 : 0),
        m_nEncoding(nEncoding),
        m_screen(&font),
        m_edit(&doc) {}
  ~SelDoc() { doc.pActiveMirel = nullptr; }

  // Column blocks are built only for a document that an edit window shows:
  // an edit object without a window (and so without a view) becomes the
  // active one, which the refresh steps find with nothing to update.
  void ShowInWindow() { doc.pActiveMirel = &m_edit; }

  bool SetRows(std::initializer_list<std::u16string> rows) {
    m_rows.assign(rows.begin(), rows.end());
    std::u16string text;
    for (size_t i = 0; i < m_rows.size(); ++i) text += (i > 0 ? u"\r\n" : u"") + m_rows[i];
    return SetText(Encode(m_nEncoding, text));
  }
  // Takes rows as the document's expected text from now on; TRUE when the
  // document holds exactly them.
  bool TextIs(std::initializer_list<std::u16string> rows) {
    m_rows.assign(rows.begin(), rows.end());
    std::u16string text;
    for (size_t i = 0; i < m_rows.size(); ++i) text += (i > 0 ? u"\r\n" : u"") + m_rows[i];
    return Text() == Encode(m_nEncoding, text);
  }
  std::string Bytes(const std::u16string& text) const { return Encode(m_nEncoding, text); }
  // Byte position of character nChar of row nRow (rows as given to SetRows).
  DWORD Pos(int nRow, size_t nChar) const {
    std::u16string before;
    for (int i = 0; i < nRow; ++i) before += m_rows[static_cast<size_t>(i)] + u"\r\n";
    before += m_rows[static_cast<size_t>(nRow)].substr(0, nChar);
    return static_cast<DWORD>(Bytes(before).size());
  }
  std::string Text() const {
    CContentsHandler* p = doc.pContents;
    return std::string(reinterpret_cast<const char*>(p->GetText(0)), p->GetTextLength());
  }
  // Width of the ASCII character c on the screen in the test font.
  int Width(char c) const { return m_screen.WidthA(std::string(1, c)); }
  int Unit() const { return m_nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1; }

 private:
  int m_nEncoding;
  mirel_test::ScreenMeasure m_screen;
  std::vector<std::u16string> m_rows;
  CMirel m_edit;
};

inline std::string EncodingParamName(const ::testing::TestParamInfo<int>& info) {
  return EncodingName(info.param);
}

}  // namespace mirel_sel_test
