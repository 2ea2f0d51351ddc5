// The row finder's fast walks against a plain character-by-character reading
// of the row rules, in every encoding and wrap mode: random texts of plain
// words, tabs, line ends, delimiters, the page-break character, surrogate
// pairs and every kind of broken multi-byte character, with runs that reach the row cap.
// After random edits (and their undo) the table the incremental re-layout
// keeps equals a fresh layout of the same text.
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cencodings.h"
#include "mirel/cmireldoc.h"
#include "mirel/mrtextunits.h"
#include "mirel/mrwordbreak.h"

using namespace mirel_doc_test;

namespace {

// One row from nStart by the rules alone: the page-break character first,
// then the row cap, line ends, the character's length (lead and trail byte,
// UTF-8 lead and continuation bytes, whole 16-bit units or surrogate pairs),
// its width from the document's width query, break candidates and the width
// limit.
int ReferenceRowEnd(CMirelDoc& doc, const std::string& t, DWORD nStart, DWORD* pEnd, long long* pWidth) {
  const BYTE* p = Bytes(t);
  const DWORD n = Len(t);
  const int nEnc = doc.nFileEncoding;
  const bool bWide = nEnc == MIREL_ENCODING_UTF16LE || nEnc == MIREL_ENCODING_UTF16BE;
  const bool bUtf8 = nEnc == MIREL_ENCODING_UTF8 || nEnc == MIREL_ENCODING_UTF8_BOM;
  const DWORD u = bWide ? 2 : 1;
  const int nMode = doc.nWrapMode;
  const bool bWrap = nMode != MIREL_WRAP_NONE;
  const bool bWord = nMode >= MIREL_WRAP_WORD;
  const long long nLimit = static_cast<long long>(doc.nTextWidth) - doc.nLeftMargin - 3;
  const BYTE* pLead = doc.GetLeadByteTable();
  auto unitAt = [&](DWORD i) -> UINT { return bWide ? p[i] | (p[i + 1] << 8) : p[i]; };
  CMrWordBreak brk(nMode);
  long long& w = *pWidth;
  w = 0;
  DWORD pos = nStart;
  auto at = [&](DWORD nEnd, int nCode) {
    *pEnd = nEnd;
    return nCode;
  };
  for (;;) {
    if (pos >= n) return at(n, MIREL_BREAK_END);
    const bool bWhole = pos + u <= n;
    if (bWhole && doc.chPageBreak != 0 && unitAt(pos) == doc.chPageBreak) return at(pos, MIREL_BREAK_PAGE);
    if (pos - nStart >= MIREL_MAX_ROW_BYTES) return at(pos, MIREL_BREAK_WRAP);
    const UINT ch = bWhole ? unitAt(pos) : p[pos];
    if (bWhole && ch == '\r')
      return at(pos, pos + 2 * u <= n && unitAt(pos + u) == '\n' ? MIREL_BREAK_CRLF : MIREL_BREAK_CR);
    if (bWhole && ch == '\n') return at(pos, MIREL_BREAK_LF);
    DWORD len = 1;
    bool bDouble = false;
    if (bWide) {
      // A high surrogate followed by a low one is one character.
      const bool bPair = pos + 4 <= n && ch >= 0xD800 && ch <= 0xDBFF && unitAt(pos + 2) >= 0xDC00 &&
                         unitAt(pos + 2) <= 0xDFFF;
      len = bPair ? 4 : bWhole ? 2 : 1;
      bDouble = bWhole && MrIsWideCodePoint(ch);
    } else if (bUtf8 && ch >= 0x80) {
      const DWORD nWant = ch >= 0xF0 ? 4 : ch >= 0xE0 ? 3 : 2;
      while (len < nWant && pos + len < n && (p[pos + len] & 0xC0) == 0x80) ++len;
      WCHAR units[2] = {};
      bDouble = len >= 2 && Utf8ToUtf16(p + pos, static_cast<int>(len), units, 2) >= 1 &&
                MrIsWideCodePoint(units[0]);
    } else if (!bUtf8 && pLead[ch] && pos + 1 < n && p[pos + 1] >= 0x40) {
      len = 2;
      bDouble = true;
    }
    if (pos - nStart + len > MIREL_MAX_ROW_BYTES) return at(pos, MIREL_BREAK_WRAP);
    const bool bTab = bWhole && ch == '\t';
    if (bTab) {
      w = (w / doc.nTabWidth + 1) * doc.nTabWidth;
    } else {
      w += len == 1 ? doc.nCharWidth[p[pos]] : doc.GetCharWidth(p + pos, len);
    }
    if (bWord) brk.Step(pos, bTab, bDouble);
    if (bWrap && w > nLimit && pos > nStart)
      return at(bWord && brk.nCandidate > nStart ? brk.nCandidate : pos, MIREL_BREAK_WRAP);
    if (bWord && ch < 256 && MrStrChr(doc.GetDelimiterSet(), static_cast<int>(ch)) != nullptr)
      brk.nCandidate = pos + len;
    pos += len;
  }
}

// Pieces of text per encoding: plain words, blanks, tabs, delimiters, line
// ends, NUL, the page-break candidates and broken characters.
std::vector<std::string> PiecesFor(int nEncoding) {
  if (nEncoding == MIREL_ENCODING_UTF16LE) {
    return {Utf16("ab"),
            Utf16(" "),
            Utf16("\t"),
            Utf16("\r\n"),
            Utf16("\r"),
            Utf16("\n"),
            Utf16("x.y,"),
            Utf16("\f"),
            Utf16("q"),
            Utf16({0xAC00, 0xAC01}),
            Utf16({0xD800}),
            Utf16({0xDC00}),
            Utf16({0x0D0A}),
            Utf16({0x0A0D}),
            Utf16({0x000D, 0x0D00}),
            Utf16({0x3000, 0x41}),
            Utf16({0}),
            Utf16({0xD83D, 0xDE00}),
            Utf16({0xD840, 0xDC00, 0xD840})};
  }
  if (nEncoding == MIREL_ENCODING_UTF8) {
    return {"ab",
            " ",
            "\t",
            "\r\n",
            "\r",
            "\n",
            "x.y,",
            "\f",
            "q",
            "\xEA\xB0\x80",
            "\xC3\xA9",
            "\xF0\x9F\x98\x80",
            "\xEA\xB0",
            "\xF0\x9F\x98",
            "\x80",
            "\xBF\x80",
            "\xED\xA0\x80",
            "\xE0\x80\x80",
            "\xC3",
            "\xFF",
            std::string(1, '\0')};
  }
  return {"ab",       " ",        "\t",       "\r\n",     "\r",       "\n",
          "x.y,",     "\f",       "q",        "\xB0\xA1", "\xC7\xD1", "\xB0",
          "\xB0\r",   "\xB0\n",   "\xB0\x1F", "\xB0\x41", "\xFF",     std::string("\xB0\0", 2),
          "\x81\x81", "\xB0\x40", "\xB0\x3F"};
}

std::string RandomText(std::mt19937& rng, const std::vector<std::string>& pieces, size_t nPieces) {
  std::string s;
  for (size_t i = 0; i < nPieces; ++i) s += pieces[rng() % pieces.size()];
  return s;
}

// A run of one piece (plain or double-byte) long enough to pass the row cap.
std::string LongRun(const std::string& piece, size_t nExtra) {
  std::string s;
  while (s.size() < MIREL_MAX_ROW_BYTES + nExtra) s += piece;
  return s;
}

struct DiffCase {
  const char* pszName;
  int nEncoding;
  int nMode;
  BYTE chPageBreak;
  bool bVaryingWidths;
};

class LayoutDifferential : public ::testing::TestWithParam<DiffCase> {};

// Every row of the table agrees with the reference walk from its start.
void ExpectRowsFollowTheRules(CMirelDoc& doc, const char* pszWhen) {
  const std::string text = TextOf(doc);
  for (int i = 0; i < doc.nLineCount; ++i) {
    const MIREL_LINE& row = doc.pLines[i];
    if (i > 0 && doc.chPageBreak != 0 && doc.pLines[i - 1].nStart + doc.pLines[i - 1].nLen == row.nStart &&
        row.nLen > 0 && row.nStart + row.nLen <= text.size()) {
      // The page-break character's own row is no walk of its own.
      const BYTE* q = Bytes(text) + row.nStart;
      const UINT unit = doc.nFileEncoding == MIREL_ENCODING_UTF16LE ? q[0] | (q[1] << 8) : q[0];
      if (unit == doc.chPageBreak && row.nLen == (doc.nFileEncoding == MIREL_ENCODING_UTF16LE ? 2u : 1u))
        continue;
    }
    DWORD nEnd = 0;
    long long nWidth = 0;
    const int nCode = ReferenceRowEnd(doc, text, row.nStart, &nEnd, &nWidth);
    ASSERT_EQ(nEnd - row.nStart, row.nLen)
        << pszWhen << ": row " << i << " " << RowsOf(doc)[i] << " code " << nCode;
    DWORD nFastEnd = 0;
    int nFastWidth = 0;
    CContentsHandler* s = doc.pContents;
    const int nFastCode =
        s->FindLineEnd(s->GetText(0), s->GetTextLength(), row.nStart, &nFastEnd, &nFastWidth, FALSE);
    ASSERT_EQ(nFastCode, nCode) << pszWhen << ": row " << i;
    ASSERT_EQ(nFastWidth, static_cast<int>(std::min<long long>(nWidth, INT_MAX))) << pszWhen << ": row " << i;
  }
}

TEST_P(LayoutDifferential, RowsFollowTheRulesThroughEditsAndUndo) {
  const DiffCase& c = GetParam();
  std::mt19937 rng(20261209u + c.nEncoding * 100 + c.nMode * 10 + c.chPageBreak);
  CMirelDoc doc;
  OpenEmpty(doc, c.nEncoding);
  doc.chPageBreak = c.chPageBreak;
  doc.nWrapMode = static_cast<BYTE>(c.nMode);
  SetFixedMetrics(doc, 3, 12, 100);
  if (c.bVaryingWidths) {
    for (int b = 0; b < 256; ++b) doc.nCharWidth[b] = b % 5;
    // Wide widths cached for most table rows; the rest are left to the
    // width query, which measures them on demand.
    std::free(doc.pWideWidth);
    doc.pWideWidth = static_cast<int*>(std::malloc(sizeof(int) * 0x10000));
    ASSERT_NE(doc.pWideWidth, nullptr);
    for (int i = 0; i < 0x10000; ++i) doc.pWideWidth[i] = (i >> 8) % 3 == 0 ? -1 : 4 + i % 7;
    // Runs of zero-width letters reach the row cap in the wrap modes too.
    for (const int ch : {'a', 'b'}) doc.nCharWidth[ch] = doc.pWideWidth[ch] = 0;
  }
  const std::vector<std::string> pieces = PiecesFor(c.nEncoding);
  const DWORD nUnit = c.nEncoding == MIREL_ENCODING_UTF16LE ? 2 : 1;
  const std::string text = RandomText(rng, pieces, 1500) + LongRun(pieces[0], 3) +
                           RandomText(rng, pieces, 300) + LongRun(pieces[9], 5) +
                           RandomText(rng, pieces, 1500);
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), TRUE));
  ExpectRowsFollowTheRules(doc, "loaded");
  for (int step = 0; step < 150; ++step) {
    const DWORD nLen = doc.GetContentsSize();
    const DWORD nAt = static_cast<DWORD>(rng() % (nLen / nUnit + 1)) * nUnit;
    if (rng() % 3 == 0 && nLen > nAt) {
      const DWORD nCut = std::min<DWORD>(nLen - nAt, static_cast<DWORD>(1 + rng() % 9) * nUnit);
      ASSERT_TRUE(doc.DeleteContents(nAt, nCut, TRUE)) << step;
    } else {
      const std::string more = RandomText(rng, pieces, 1 + rng() % 4);
      ASSERT_TRUE(doc.InsertContents(nAt, Bytes(more), Len(more), TRUE)) << step;
    }
    if (rng() % 10 == 0) doc.Undo(nullptr);
    if (rng() % 25 == 0) doc.Redo(nullptr);
    ASSERT_EQ(RowsOf(doc), RebuiltRows(doc)) << "step " << step;
  }
  ExpectRowsFollowTheRules(doc, "edited");
}

INSTANTIATE_TEST_SUITE_P(
    EncodingsModesAndPageBreaks, LayoutDifferential,
    ::testing::Values(DiffCase{"AnsiNone", MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, '\f', false},
                      DiffCase{"AnsiNoneLeadBreak", MIREL_ENCODING_ANSI, MIREL_WRAP_NONE, 0xB0, true},
                      DiffCase{"AnsiCharTrailBreak", MIREL_ENCODING_ANSI, MIREL_WRAP_CHAR, 'A', true},
                      DiffCase{"AnsiWord", MIREL_ENCODING_ANSI, MIREL_WRAP_WORD, 'q', false},
                      DiffCase{"AnsiDbcs", MIREL_ENCODING_ANSI, MIREL_WRAP_WORD_DBCS, 0, true},
                      DiffCase{"Utf8None", MIREL_ENCODING_UTF8, MIREL_WRAP_NONE, '\f', true},
                      DiffCase{"Utf8NoneContinuationBreak", MIREL_ENCODING_UTF8, MIREL_WRAP_NONE, 0x80,
                               false},
                      DiffCase{"Utf8Char", MIREL_ENCODING_UTF8, MIREL_WRAP_CHAR, 'q', false},
                      DiffCase{"Utf8Word", MIREL_ENCODING_UTF8, MIREL_WRAP_WORD, '\f', true},
                      DiffCase{"Utf8Dbcs", MIREL_ENCODING_UTF8, MIREL_WRAP_WORD_DBCS, 0, false},
                      DiffCase{"Utf16None", MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE, '\f', true},
                      DiffCase{"Utf16NoneNoBreak", MIREL_ENCODING_UTF16LE, MIREL_WRAP_NONE, 0, false},
                      DiffCase{"Utf16Char", MIREL_ENCODING_UTF16LE, MIREL_WRAP_CHAR, 'q', false},
                      DiffCase{"Utf16Word", MIREL_ENCODING_UTF16LE, MIREL_WRAP_WORD, '\f', true}),
    [](const auto& info) { return std::string(info.param.pszName); });

}  // namespace
