// Rows without wrapping in ANSI, UTF-8 and UTF-16 text: the fast walk over
// double-byte characters, UTF-8 sequences and units gives the rows, widths
// and break codes of the character-by-character walk (the wrapping walk with
// a limit no row reaches), with wide widths cached or measured on demand and
// single-byte widths equal or not.
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

using namespace mirel_doc_test;

namespace {

struct WalkResult {
  int nCode;
  DWORD nEnd;
  int nWidth;
  bool operator==(const WalkResult& o) const {
    return nCode == o.nCode && nEnd == o.nEnd && nWidth == o.nWidth;
  }
};

WalkResult FindRow(CMirelDoc& doc, BYTE nMode, DWORD nStart) {
  doc.nWrapMode = nMode;
  CContentsHandler* s = doc.pContents;
  WalkResult r{};
  r.nCode = s->FindLineEnd(s->GetText(0), s->GetTextLength(), nStart, &r.nEnd, &r.nWidth, FALSE);
  return r;
}

// Measured widths for the wide characters of one table row (lead byte 0xB0
// in ANSI, U+AC00 to U+ACFF in UTF-8); the rest stay unmeasured and go
// through the width query, which settles them at the average width.
void CacheOneWideRow(CMirelDoc& doc, int nHigh) {
  std::free(doc.pWideWidth);
  doc.pWideWidth = static_cast<int*>(std::malloc(sizeof(int) * 0x10000));
  ASSERT_NE(doc.pWideWidth, nullptr);
  for (int i = 0; i < 0x10000; ++i) doc.pWideWidth[i] = -1;
  for (int low = 0; low < 256; ++low) doc.pWideWidth[nHigh * 256 + low] = 7 + low % 3;
}

std::string Repeat(size_t n, const std::string& s) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

// UTF-16 text as its little-endian bytes.
std::string Le(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

TEST(LayoutMultiByteWalk, NoWrapRowsEqualTheCharacterByCharacterWalk) {
  const std::string a7(7, 'a');
  const std::string capA(MIREL_MAX_ROW_BYTES - 1, 'a');
  const std::u16string korean16 = u"\uAC00\uAC01 ab\t\uD55C\uAE00, \uACFF";
  struct Case {
    const char* what;
    int nEncoding;
    std::string text;
    BYTE chPageBreak = '\f';
  } cases[] = {
      {"a double-byte character across the 8-byte word edge", MIREL_ENCODING_ANSI,
       a7 + "\xB0\xA1" + a7 + "\xC8\xA1" + Repeat(20, "b")},
      {"Korean words between single spaces and tabs", MIREL_ENCODING_ANSI,
       Repeat(300, "\xB0\xA1\xB0\xA2 \xC7\xD1\xB1\xDB, ab\t\xB0\xA3") + "\r\n" + Repeat(50, "\xB0\xB0 ")},
      {"long words and tabs after double-byte characters", MIREL_ENCODING_ANSI,
       Repeat(200,
              "\xB0\xA1"
              "abcdefghijklmnopq\t\xB0\xA2 xyzwvuts\xC7\xD1") +
           "\r" + Repeat(30, "\t\xB0\xA1")},
      {"a double-byte character that would pass the row cap", MIREL_ENCODING_ANSI,
       capA + "\xB0\xA1" + "tail"},
      {"a double-byte character that ends right at the row cap", MIREL_ENCODING_ANSI,
       std::string(MIREL_MAX_ROW_BYTES - 2, 'a') + "\xB0\xA1\xB0\xA2"},
      {"a lone lead byte before CR LF, before a control byte and at the end", MIREL_ENCODING_ANSI,
       "ab\xB0\r\ncd\xB0\x1F\xB0\x21x\xB0\xA1\xB0"},
      {"a UTF-8 sequence across the 8-byte word edge", MIREL_ENCODING_UTF8,
       std::string(6, 'a') + "\xEA\xB0\x80" + std::string(5, 'a') + "\xC3\xA9" + Repeat(20, "b")},
      {"Korean and accented words in UTF-8", MIREL_ENCODING_UTF8,
       Repeat(300, "\xEA\xB0\x80\xED\x95\x9C \xC3\xA9t\xC3\xA9\t\xE4\xB8\x80\xF0\x9F\x98\x80 ") + "\n" +
           Repeat(40, "\xEA\xB0\x81")},
      {"a UTF-8 sequence that would pass the row cap", MIREL_ENCODING_UTF8,
       std::string(MIREL_MAX_ROW_BYTES - 2, 'a') + "\xEA\xB0\x80" + "tail"},
      {"cut and stray UTF-8 sequences, before CR and at the end", MIREL_ENCODING_UTF8,
       "ab\xEA\xB0\r\nc\x80\x80\xF0\x9F\x98x\xED\xA0\x80\xE0\x80\x80\xC3\rz\xEA\xB0"},
      {"Korean words, tabs, line ends, controls and a page break in UTF-16", MIREL_ENCODING_UTF16LE,
       Repeat(300, Le(korean16)) + Le(u"\r\n\uAC02\r\uAC03\n\f\uAC04\x01\x0D\x0E\uAC05") +
           Repeat(40, Le(u"\uAC06 "))},
      {"a surrogate pair and unmeasured units in UTF-16", MIREL_ENCODING_UTF16LE,
       Le(u"\uAC00\U0001F600\uAC01\u4E00ab\uAC02")},
      {"a printable page-break character in UTF-16", MIREL_ENCODING_UTF16LE,
       Repeat(100, Le(u"\uAC00q\uAC01 \u0171")), 'q'},
      {"a UTF-16 unit that would pass the row cap", MIREL_ENCODING_UTF16LE,
       Le(std::u16string((MIREL_MAX_ROW_BYTES - 1) / 2 - 1, u'\uAC10') + u"\uAC00\uAC01 tail")},
  };
  for (const Case& c : cases) {
    const DWORD nUnit = c.nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1;
    for (int nVariant = 0; nVariant < 4; ++nVariant) {
      const bool bCached = (nVariant & 1) != 0;
      CMirelDoc doc;
      OpenEmpty(doc, c.nEncoding);
      doc.chPageBreak = c.chPageBreak;
      SetFixedMetrics(doc, 3, 12, INT_MAX / 2);
      if (nVariant & 2) {
        for (int b = 0; b < 256; ++b) doc.nCharWidth[b] = 1 + b % 5;
      }
      doc.nAveCharWidth = 5;
      if (bCached) CacheOneWideRow(doc, c.nEncoding == MIREL_ENCODING_ANSI ? 0xB0 : 0xAC);
      // Units below 0x100 cached too, in the UTF-16 cases: the tight walk
      // then takes plain text, and must stop at controls and the page break.
      if (bCached && nUnit == 2) {
        for (int u = 0; u < 0x100; ++u) doc.pWideWidth[u] = 2 + u % 4;
      }
      ASSERT_TRUE(doc.InsertContents(0, Bytes(c.text), Len(c.text), FALSE)) << c.what;
      DWORD nStart = 0;
      for (;;) {
        const WalkResult fast = FindRow(doc, MIREL_WRAP_NONE, nStart);
        const WalkResult slow = FindRow(doc, MIREL_WRAP_CHAR, nStart);
        ASSERT_EQ(fast, slow) << c.what << " variant " << nVariant << " at " << nStart << ": code "
                              << fast.nCode << "/" << slow.nCode << " end " << fast.nEnd << "/" << slow.nEnd
                              << " width " << fast.nWidth << "/" << slow.nWidth;
        if (fast.nCode == MIREL_BREAK_END) break;
        nStart = fast.nEnd + nUnit * (fast.nCode == MIREL_BREAK_WRAP   ? 0
                                      : fast.nCode == MIREL_BREAK_CRLF ? 2
                                                                       : 1);
      }
      doc.nWrapMode = MIREL_WRAP_NONE;
      EXPECT_EQ(RowsOf(doc), RebuiltRows(doc)) << c.what;
    }
  }
}

// A row of double-byte characters runs into the cap with no line end: the
// row ends before the character that would pass it, at an even count.
TEST(LayoutMultiByteWalk, RowCapFallsBeforeAWholeCharacter) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_ANSI);
  SetFixedMetrics(doc, 3, 12, 1000);
  CacheOneWideRow(doc, 0xB0);
  const std::string text = "a" + Repeat(MIREL_MAX_ROW_BYTES / 2 + 1, "\xB0\xA1");
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  const WalkResult r = FindRow(doc, MIREL_WRAP_NONE, 0);
  EXPECT_EQ(r.nCode, MIREL_BREAK_WRAP);
  EXPECT_EQ(r.nEnd, 1 + 2 * ((MIREL_MAX_ROW_BYTES - 1) / 2));
  EXPECT_EQ(r.nWidth, 3 + (7 + 0xA1 % 3) * static_cast<int>((MIREL_MAX_ROW_BYTES - 1) / 2));
}

}  // namespace
