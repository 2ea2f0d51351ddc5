// Find and replace in documents of every encoding: directions, wrap, whole
// word, case, regular expressions and the hex view.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "mirel/cmireldoc.h"
#include "mirel/metablock/cmrmetablock.h"
#include "mirel/mrtextunits.h"
#include "mirel/search/mrbytescan.h"
#include "mirel/search/mrfind.h"
#include "positions_fixture.h"

namespace {

using mirel_doc_test::TextOf;
using mirel_doc_test::Utf16;
using mirel_test::TextDoc;

struct FindCase {
  const char* pszName;
  int nEncoding;
  int nCodePage;
  std::string text;
  std::string pattern;  // in the document encoding
  int nFlags;
  int nStart;
  int nResult;
  int nSelStart;  // selection and *pnPos (= end) after a find
  int nSelEnd;
};

void ExpectFinds(const std::vector<FindCase>& cases) {
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.pszName);
    TextDoc t(c.nEncoding, MIREL_WRAP_NONE, c.nCodePage);
    ASSERT_TRUE(t.SetText(c.text));
    int nPos = c.nStart;
    const int nResult = t.doc.FindText(reinterpret_cast<const BYTE*>(c.pattern.data()),
                                       static_cast<int>(c.pattern.size()), c.nFlags, FALSE, &nPos, FALSE);
    EXPECT_EQ(nResult, c.nResult);
    if (nResult != 1) continue;
    EXPECT_EQ(static_cast<int>(t.doc.block.GetStartPtr()), c.nSelStart);
    EXPECT_EQ(static_cast<int>(t.doc.block.GetEndPtr()), c.nSelEnd);
    EXPECT_EQ(nPos, c.nSelEnd);
    EXPECT_EQ(t.doc.nCaretPos, c.nSelEnd);
    EXPECT_EQ(t.doc.cli, t.doc.GetLineFromPos(static_cast<DWORD>(c.nSelEnd)));
  }
}

constexpr int A = MIREL_ENCODING_ANSI;
constexpr int U8 = MIREL_ENCODING_UTF8;
constexpr int W = MIREL_ENCODING_UTF16LE;
constexpr int BACK = MIREL_FIND_BACKWARD;
constexpr int WORD = MIREL_FIND_WHOLEWORD;
constexpr int CASE = MIREL_FIND_MATCHCASE;
constexpr int WRAP = MIREL_FIND_WRAP;
constexpr int RX = MIREL_FIND_REGEXP;

TEST(SearchFind, PlainText) {
  ExpectFinds({
      {"forward", A, 0, "ab xab ab", "ab", CASE, 1, 1, 4, 6},
      {"forward from a match end", A, 0, "ab xab ab", "ab", CASE, 6, 1, 7, 9},
      {"not found without wrap", A, 0, "ab xab ab", "ab", CASE, 8, 0, 0, 0},
      {"wrap finds the first", A, 0, "ab xab ab", "ab", CASE | WRAP, 8, 1, 0, 2},
      {"backward", A, 0, "ab xab ab", "ab", CASE | BACK, 8, 1, 4, 6},
      {"backward below the length", A, 0, "ab xab ab", "ab", CASE | BACK, 1, 0, 0, 0},
      {"backward wraps to the last", A, 0, "ab xab ab", "ab", CASE | BACK | WRAP, 1, 1, 7, 9},
      {"ignore case folds ASCII", A, 0, "xx AB", "ab", 0, 0, 1, 3, 5},
      {"match case", A, 0, "xx AB", "ab", CASE, 0, 0, 0, 0},
      {"whole word skips a part", A, 0, "abc ab", "ab", WORD | CASE, 0, 1, 4, 6},
      {"whole word at the text start", A, 0, "ab c", "ab", WORD, 0, 1, 0, 2},
      {"whole word backward", A, 0, "ab abc", "ab", WORD | BACK, 6, 1, 0, 2},
      {"host position past the text", A, 0, "ab", "ab", BACK, 1000, 1, 0, 2},
      {"lone LF is not half of CR LF", A, 0, "a\r\nb\nc", "\n", CASE, 0, 1, 4, 5},
      {"double-byte: no match on a trail byte", A, 949, "\xB0\xA1\xA1", "\xA1\xA1", CASE, 0, 0, 0, 0},
      {"double-byte: a whole character", A, 949, "\xA1\xB0\xA1\xA1", "\xA1\xA1", CASE, 0, 1, 2, 4},
      {"double-byte letters trail bytes do not fold", A, 949, "\x81\x61", "\x81\x41", 0, 0, 0, 0, 0},
      {"UTF-8 folds non-ASCII", U8, 0, "x\xC3\xA9", "\xC3\x89", 0, 0, 1, 1, 3},
      {"UTF-8 folds to a longer upper case", U8, 0, "x\xE2\xB1\xA2y", "\xC9\xAB", 0, 0, 1, 1, 4},
      {"UTF-8 folds to a shorter upper case", U8, 0, "x\xE2\xB1\xA5y", "\xC8\xBA", 0, 0, 1, 1, 4},
      {"UTF-8 shorter match at the text end", U8, 0, "x\xC9\xAB", "\xE2\xB1\xA2", 0, 0, 1, 1, 3},
      {"UTF-8 longer match backward", U8, 0, "x\xE2\xB1\xA2y", "\xC9\xAB", BACK, 5, 1, 1, 4},
      {"UTF-8 shorter match backward", U8, 0, "x\xC9\xAB", "\xE2\xB1\xA2", BACK, 3, 1, 1, 3},
      {"UTF-8 whole word, longer match", U8, 0, "a \xE2\xB1\xA2 b", "\xC9\xAB", WORD, 0, 1, 2, 5},
      {"UTF-8 byte that starts no character", U8, 0,
       "\xFF"
       "ccc",
       "\xFF"
       "CCC",
       0, 0, 1, 0, 4},
      {"UTF-8 start inside a character", U8, 0, "\xEA\xB0\x80 a", "a", 0, 1, 1, 4, 5},
      {"UTF-16 whole units", W, 0, Utf16({0x4161, 'a'}), Utf16("a"), CASE, 0, 1, 2, 4},
      {"UTF-16 folds non-ASCII", W, 0, Utf16({'x', 0x3B1}), Utf16({0x391}), 0, 0, 1, 2, 4},
      {"UTF-16 odd host position", W, 0, Utf16("abab"), Utf16("ab"), CASE | BACK, 7, 1, 0, 4},
      {"UTF-16 not the low half of a pair", W, 0, Utf16({'a', 0xD83D, 0xDE00}), Utf16({0xDE00}), CASE, 0, 0,
       0, 0},
      {"UTF-16 not ending on a high half", W, 0, Utf16({'a', 0xD83D, 0xDE00}), Utf16({'a', 0xD83D}), CASE, 0,
       0, 0, 0},
      {"UTF-16 low half backward", W, 0, Utf16({0xD83D, 0xDE00, 'b'}), Utf16({0xDE00}), CASE | BACK, 6, 0, 0,
       0},
      {"UTF-16 a lone low surrogate", W, 0, Utf16({0xD83D, 0xDE00, 'b', 0xDE00}), Utf16({0xDE00}), 0, 0, 1, 6,
       8},
      {"UTF-16 a whole pair", W, 0, Utf16({'a', 0xD83D, 0xDE00}), Utf16({0xD83D, 0xDE00}), 0, 0, 1, 2, 6},
      {"UTF-16 start inside CR LF", W, 0, Utf16("a\r\n"), Utf16("\r\n"), CASE, 4, 1, 2, 6},
      {"UTF-16 odd start inside CR LF", W, 0, Utf16("a\r\n"), Utf16("\r\n"), CASE, 5, 1, 2, 6},
      {"UTF-16 start inside a pair", W, 0, Utf16({'a', 0xD83D, 0xDE00}), Utf16({0xD83D, 0xDE00}), CASE, 4, 1,
       2, 6},
      {"ANSI start inside CR LF", A, 0, "a\r\n", "\r\n", CASE, 2, 1, 1, 3},
      {"UTF-8 start inside CR LF", U8, 0, "a\r\n", "\r\n", CASE, 2, 1, 1, 3},
      {"whole word overlapping a rejected match", A, 0, "ba a a", "a a", WORD | CASE, 0, 1, 3, 6},
      {"whole word backward, overlapping", A, 0, "a a ab", "a a", WORD | CASE | BACK, 6, 1, 0, 3},
      {"UTF-16 whole word overlapping", W, 0, Utf16("ba a a"), Utf16("a a"), WORD | CASE, 0, 1, 6, 12},
      {"empty pattern", A, 0, "ab", "", 0, 0, 0, 0, 0},
  });
}

TEST(SearchFind, RegularExpressions) {
  ExpectFinds({
      {"literal prefix", A, 0, "a needle7 b", "needle[0-9]+", CASE | RX, 0, 1, 2, 9},
      {"caret moves on past the first", A, 0, "ab\nab", "^ab", CASE | RX, 2, 1, 3, 5},
      {"caret from the start", A, 0, "ab\nab", "^ab", CASE | RX, 0, 1, 0, 2},
      {"dollar in an earlier paragraph", A, 0, "xa\nb\nc", "a$", CASE | RX | BACK, 6, 1, 1, 2},
      {"backward starts strictly before", A, 0, "aa", "a", CASE | RX | BACK, 1, 1, 0, 1},
      {"word start inside a word", A, 0, "abc bc", "\\<bc", CASE | RX, 0, 1, 4, 6},
      {"empty match at the start skipped", A, 0, "a\n\nb", "^$", CASE | RX, 2, 0, 0, 0},
      {"empty line found", A, 0, "a\n\nb", "^$", CASE | RX, 0, 1, 2, 2},
      {"CR LF kept whole", A, 0, "ab\r\ncd", "b\\r", CASE | RX, 0, 1, 1, 4},
      {"UTF-16: no regular expressions", W, 0, Utf16("ab"), Utf16("a"), CASE | RX, 0, 0, 0, 0},
      {"UTF-8 pattern", U8, 0, "x\xEA\xB0\x80y", "\xEA\xB0\x80y", CASE | RX, 0, 1, 1, 5},
      {"double-byte: never on a trail byte", A, 949, "\xB0\xA1\xA1\xA1", "\xA1\xA1", CASE | RX, 0, 1, 2, 4},
      {"wrap", A, 0, "ab ab", "ab", CASE | RX | WRAP, 4, 1, 0, 2},
      {"compile error", A, 0, "ab", "\\(a", CASE | RX, 0, 0, 0, 0},
  });
}

TEST(SearchFind, RepeatedForwardFindsStepAndNeverRepeat) {
  TextDoc t(A);
  ASSERT_TRUE(t.SetText("x\n\ny\n\nz"));
  int nPos = 0;
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i) {
    if (t.doc.FindText(reinterpret_cast<const BYTE*>("^$"), 2, RX, TRUE, &nPos, FALSE) != 1) break;
    seen.push_back(nPos);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 5}));
}

// The scans find the first occurrence wherever it lies in the blocks they
// compare at once, and never one that starts past the starts given.
TEST(SearchFind, ByteScansAgreeWithAPlainSearch) {
  std::string hay;
  unsigned nSeed = 7;
  for (int i = 0; i < 3000; ++i) {
    nSeed = nSeed * 1103515245u + 12345u;
    hay.push_back("abcxyzAZ \0"[(nSeed >> 16) % 10]);
  }
  const BYTE* p = reinterpret_cast<const BYTE*>(hay.data());
  for (const std::string& needle :
       std::vector<std::string>{"zz", "xyz", "Azb", "a", "zZ", std::string("z\0y", 3), "abcxyzabc"}) {
    for (bool bNoCase : {false, true}) {
      for (size_t nFrom : {size_t{0}, size_t{1}, size_t{63}, size_t{700}, size_t{2990}}) {
        for (size_t nStarts : {size_t{5}, size_t{64}, size_t{300}, size_t{5000}}) {
          SCOPED_TRACE(testing::Message() << needle << " " << bNoCase << " " << nFrom << " " << nStarts);
          const size_t nHay = hay.size() - nFrom;
          size_t nWant = MR_SCAN_NONE;
          for (size_t i = 0; i < nStarts && i + needle.size() <= nHay && nWant == MR_SCAN_NONE; ++i) {
            bool bSame = true;
            for (size_t k = 0; k < needle.size() && bSame; ++k) {
              const BYTE a = p[nFrom + i + k];
              const BYTE b = static_cast<BYTE>(needle[k]);
              bSame = bNoCase ? MrFoldByte(a) == MrFoldByte(b) : a == b;
            }
            if (bSame) nWant = i;
          }
          const BYTE* n = reinterpret_cast<const BYTE*>(needle.data());
          EXPECT_EQ(bNoCase ? MrScanBytesNoCase(p + nFrom, nStarts, nHay, n, needle.size())
                            : MrScanBytes(p + nFrom, nStarts, nHay, n, needle.size()),
                    nWant);
        }
      }
    }
  }
}

// Repeated finds in wrapped rows leave the selection's rows and cli where a
// fresh look-up puts them.
TEST(SearchFind, RepeatedFindsInWrappedRowsKeepTheRows) {
  for (int nWrap : {MIREL_WRAP_NONE, MIREL_WRAP_CHAR}) {
    TextDoc t(A, nWrap);
    std::string text;
    for (int i = 0; i < 40; ++i) text += i % 3 ? "xxab xabxx" : "ab\r\n";
    ASSERT_TRUE(t.SetText(text));
    int nPos = 0;
    int nFound = 0;
    while (t.doc.FindTextA("ab", CASE, TRUE, &nPos, FALSE) == 1) {
      ++nFound;
      EXPECT_EQ(t.doc.cli, t.doc.GetLineFromPos(static_cast<DWORD>(t.doc.nCaretPos)));
      EXPECT_EQ(t.doc.block.nAnchorLine, t.doc.GetLineFromPos(t.doc.block.nAnchor));
    }
    EXPECT_EQ(nFound, 14 + 26 * 2);
  }
}

// Stepping through a double-byte line longer than a row, in both directions
// and as text or a regular expression, finds every whole character of the pattern and none that straddles two
// (its bytes end one syllable and start the next everywhere), with the
// caret's pixel x where a fresh layout puts it.
TEST(SearchFind, StepsThroughALongDoubleByteLine) {
  std::string text;
  for (int i = 0; i < 36000; ++i) {
    text += i % 97 == 0 ? "\xB6\xB0" : i % 5 == 0 ? "\xB8\xB6" : "\xB0\xA1";
    if (i % 1500 == 7) text += '\t';
    if (i % 2221 == 9) text += 'x';  // pairs count from here on
  }
  BYTE lead[256];
  MrBuildLeadByteTable(949, lead);
  std::vector<int> want;
  for (size_t i = 0; i + 1 < text.size();) {
    const bool bPair = lead[static_cast<BYTE>(text[i])] && static_cast<BYTE>(text[i + 1]) >= 0x40;
    if (bPair && text.compare(i, 2, "\xB6\xB0") == 0) want.push_back(static_cast<int>(i));
    i += bPair ? 2 : 1;
  }
  TextDoc t(A, MIREL_WRAP_NONE, 949);
  ASSERT_TRUE(t.SetText(text));
  ASSERT_GT(t.doc.nLineCount, 1);
  for (const int nFlags : {CASE, CASE | BACK, CASE | RX, CASE | RX | BACK}) {
    SCOPED_TRACE(nFlags);
    const DWORD nFrom = nFlags & BACK ? t.Length() : 0;
    t.doc.SetSel(nFrom, nFrom, TRUE);
    std::vector<int> got;
    int nPos = 0;
    while (t.doc.FindText(reinterpret_cast<const BYTE*>("\xB6\xB0"), 2, nFlags, TRUE, &nPos, FALSE) == 1) {
      got.push_back(static_cast<int>(t.doc.block.GetStartPtr()));
      const CMrBlock& b = t.doc.block;
      ASSERT_EQ(b.nCaretX, t.doc.GetXFromPos(b.nCaretLine, b.nCaret, TRUE));
    }
    if (nFlags & BACK) std::reverse(got.begin(), got.end());
    EXPECT_EQ(got, want);
  }
}

TEST(SearchFind, ReplaceAlternatesFindAndReplace) {
  TextDoc t(A);
  ASSERT_TRUE(t.SetText("one two one"));
  int nPos = 0;
  EXPECT_EQ(t.doc.ReplaceTextA("ONE", "1", 0, TRUE, &nPos, FALSE), 1);
  EXPECT_EQ(nPos, 3);
  EXPECT_EQ(t.doc.ReplaceTextA("ONE", "1", 0, TRUE, &nPos, FALSE), 2);
  EXPECT_EQ(TextOf(t.doc), "1 two one");
  EXPECT_EQ(nPos, 1);
  EXPECT_EQ(t.doc.cli, t.doc.GetLineFromPos(1));
  EXPECT_FALSE(t.doc.block.IsNotEmpty());
  EXPECT_EQ(t.doc.ReplaceTextA("ONE", "1", 0, TRUE, &nPos, FALSE), 1);
  EXPECT_EQ(t.doc.ReplaceTextA("ONE", "1", 0, TRUE, &nPos, FALSE), 2);
  EXPECT_EQ(TextOf(t.doc), "1 two 1");
  // One undo step per replace.
  EXPECT_TRUE(t.doc.Undo(nullptr));
  EXPECT_EQ(TextOf(t.doc), "1 two one");
}

TEST(SearchFind, ReplaceChecksTheSelectionWithTheFindComparison) {
  TextDoc t(A, MIREL_WRAP_NONE, 949);
  // The selection "\x81\x61" equals "\x81\x41" only under a byte fold that
  // splits double-byte characters: it is not the find text.
  ASSERT_TRUE(t.SetText("\x81\x61 \x81\x41"));
  t.doc.SetSel(0, 2, TRUE);
  int nPos = 0;
  EXPECT_EQ(t.doc.ReplaceText(reinterpret_cast<const BYTE*>("\x81\x41"), 2,
                              reinterpret_cast<const BYTE*>("z"), 1, 0, TRUE, &nPos, FALSE),
            1);
  EXPECT_EQ(t.doc.block.GetStartPtr(), 3u);
  EXPECT_EQ(TextOf(t.doc), "\x81\x61 \x81\x41");
}

TEST(SearchFind, RegexReplaceNeedsTheRememberedMatch) {
  TextDoc t(A);
  ASSERT_TRUE(t.SetText("a1 a22"));
  int nPos = 0;
  const BYTE* rx = reinterpret_cast<const BYTE*>("a[0-9]+");
  EXPECT_EQ(t.doc.ReplaceText(rx, 7, reinterpret_cast<const BYTE*>("N"), 1, RX | CASE, TRUE, &nPos, FALSE),
            1);
  // The same span selected by hand is not the last match: a find fails in
  // between and the selection stays.
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>("z"), 1, RX | CASE, TRUE, &nPos, FALSE), 0);
  EXPECT_EQ(t.doc.ReplaceText(rx, 7, reinterpret_cast<const BYTE*>("N"), 1, RX | CASE, TRUE, &nPos, FALSE),
            1);
  EXPECT_EQ(t.doc.block.GetStartPtr(), 3u);
  t.doc.SetSel(0, 2, TRUE);
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>("z"), 1, RX | CASE, TRUE, &nPos, FALSE), 0);
  EXPECT_EQ(t.doc.ReplaceText(rx, 7, reinterpret_cast<const BYTE*>("N"), 1, RX | CASE, TRUE, &nPos, FALSE),
            1);
  EXPECT_EQ(TextOf(t.doc), "a1 a22");
  // The selection that is the last match is replaced, whatever the flags or
  // the pattern of the replace.
  struct Case {
    const char* pszFind;
    int nFlags;
  } cases[] = {{"a[0-9]+", RX | CASE | WRAP}, {"a[0-9]+", RX}, {"a1", RX | CASE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszFind);
    ASSERT_TRUE(t.SetText("a1 a22"));
    ASSERT_EQ(t.doc.FindText(rx, 7, RX | CASE, FALSE, &(nPos = 0), FALSE), 1);
    EXPECT_EQ(t.doc.ReplaceTextA(c.pszFind, "N", c.nFlags, TRUE, &nPos, FALSE), 2);
    EXPECT_EQ(TextOf(t.doc), "N a22");
  }
}

TEST(SearchFind, HostReplaceIgnoresTheReadOnlyFlag) {
  for (int nFlags : {0, RX}) {
    SCOPED_TRACE(nFlags);
    TextDoc t(A);
    ASSERT_TRUE(t.SetText("one two"));
    t.doc.SetReadOnly(TRUE);
    int nPos = 0;
    ASSERT_EQ(t.doc.FindTextA("one", nFlags, FALSE, &nPos, FALSE), 1);
    EXPECT_EQ(t.doc.ReplaceTextA("one", "1", nFlags, TRUE, &nPos, FALSE), 2);
    EXPECT_EQ(TextOf(t.doc), "1 two");
    EXPECT_TRUE(t.doc.IsModified());
    EXPECT_TRUE(t.doc.Undo(nullptr));
    EXPECT_EQ(TextOf(t.doc), "one two");
  }
}

TEST(SearchFind, EmptyRegularExpressionRepeatsTheLast) {
  TextDoc t(A);
  ASSERT_TRUE(t.SetText("a1 b a22 a3"));
  int nPos = 0;
  // Nothing compiled yet: nothing to repeat.
  EXPECT_EQ(t.doc.FindTextA("", RX, FALSE, &nPos, FALSE), 0);
  ASSERT_EQ(t.doc.FindTextA("a[0-9]+", RX, FALSE, &nPos, FALSE), 1);
  EXPECT_EQ(nPos, 2);
  EXPECT_EQ(t.doc.FindTextA("", RX, TRUE, &nPos, FALSE), 1);
  EXPECT_EQ(t.doc.block.GetStartPtr(), 5u);
  EXPECT_EQ(nPos, 8);
  EXPECT_EQ(t.doc.FindText(nullptr, 0, RX, TRUE, &nPos, FALSE), 1);
  EXPECT_EQ(nPos, 11);
  // The replace of the selected match, and its find, take the last one too.
  EXPECT_EQ(t.doc.ReplaceTextA("", "N", RX, TRUE, &nPos, FALSE), 2);
  EXPECT_EQ(t.doc.ReplaceTextA("", "N", RX | WRAP, TRUE, &nPos, FALSE), 1);
  EXPECT_EQ(nPos, 2);
  EXPECT_EQ(TextOf(t.doc), "a1 b a22 N");
  // Without the flag an empty text finds nothing.
  EXPECT_EQ(t.doc.FindTextA("", 0, TRUE, &nPos, FALSE), 0);
}

// Case-blind finds in UTF-16 and UTF-8 fold every letter pair the system's
// upper-case mapping knows, in both directions, and in the replace's check
// of the selection.
TEST(SearchFind, CaseBlindFindFoldsNonAsciiLetters) {
  const std::pair<unsigned, unsigned> pairs[] =
      {
          {0x3CC, 0x38C},   {0x3CD, 0x38E},   {0x3CE, 0x38F}, {0x1CE, 0x1CD},
          {0x1F00, 0x1F08}, {0x2D00, 0x10A0}, {0x44F, 0x42F}, {0xE9, 0xC9},
          {0x26B, 0x2C62},  {0x2C65, 0x23A},  // in UTF-8 the two cases differ in length
      };
  auto utf8 = [](unsigned ch) {
    std::string out;
    if (ch < 0x800) {
      out += static_cast<char>(0xC0 | (ch >> 6));
    } else {
      out += static_cast<char>(0xE0 | (ch >> 12));
      out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (ch & 0x3F));
    return out;
  };
  for (const auto& [lower, upper] : pairs) {
    for (int nEncoding : {W, U8}) {
      for (bool bUpperText : {false, true}) {
        SCOPED_TRACE(testing::Message() << std::hex << lower << " enc " << nEncoding << " " << bUpperText);
        const unsigned inText = bUpperText ? upper : lower;
        const unsigned inPattern = bUpperText ? lower : upper;
        const std::string text = nEncoding == W ? Utf16({'x', inText, 'y'}) : "x" + utf8(inText) + "y";
        const std::string pattern = nEncoding == W ? Utf16({inPattern, 'y'}) : utf8(inPattern) + "y";
        TextDoc t(nEncoding);
        ASSERT_TRUE(t.SetText(text));
        int nPos = 0;
        const BYTE* pPattern = reinterpret_cast<const BYTE*>(pattern.data());
        const int nLen = static_cast<int>(pattern.size());
        ASSERT_EQ(t.doc.FindText(pPattern, nLen, 0, FALSE, &nPos, FALSE), 1);
        EXPECT_EQ(nPos, static_cast<int>(text.size()));
        EXPECT_EQ(t.doc.FindText(pPattern, nLen, CASE, FALSE, &(nPos = 0), FALSE), 0);
        EXPECT_EQ(t.doc.ReplaceText(pPattern, nLen, reinterpret_cast<const BYTE*>("z\0"),
                                    nEncoding == W ? 2 : 1, 0, TRUE, &nPos, FALSE),
                  2);
      }
    }
  }
  // The dotless i has no ASCII upper case: "I" does not find it.
  TextDoc t(W);
  ASSERT_TRUE(t.SetText(Utf16({'x', 0x131, 'n'})));
  int nPos = 0;
  EXPECT_EQ(t.doc.FindText(reinterpret_cast<const BYTE*>(Utf16("In").data()), 4, 0, FALSE, &nPos, FALSE), 0);
}

TEST(SearchFind, HexView) {
  TextDoc t(A);
  ASSERT_TRUE(t.SetText("\x01\x02\x03\x01\x02"));
  t.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  int nPos = 1;
  EXPECT_EQ(t.doc.FindTextA("01 02", 0, FALSE, &nPos, FALSE), 1);
  EXPECT_EQ(nPos, 5);
  EXPECT_EQ(t.doc.block.GetStartPtr(), 3u);
  EXPECT_EQ(t.doc.cli, 5 / t.doc.nHexBytesPerLine);
  EXPECT_EQ(t.doc.FindTextA("010", 0, FALSE, &nPos, FALSE), 0);  // odd digit count
  EXPECT_EQ(t.doc.FindTextA("", 0, FALSE, &nPos, FALSE), 0);
  // A find text that yields no bytes replaces nothing.
  EXPECT_EQ(t.doc.ReplaceHex(reinterpret_cast<const BYTE*>("0"), 1, reinterpret_cast<const BYTE*>("FF"), 2, 0,
                             TRUE, &nPos, FALSE),
            0);
  EXPECT_EQ(t.doc.ReplaceTextA("01 02", "ff", 0, TRUE, &nPos, FALSE), 2);
  EXPECT_EQ(TextOf(t.doc), "\x01\x02\x03\xFF");
  // A replacement of an odd digit count cannot be built: refused, the match
  // stays selected; an empty one deletes the match.
  ASSERT_EQ(t.doc.FindTextA("02", 0, FALSE, &(nPos = 0), FALSE), 1);
  EXPECT_EQ(t.doc.ReplaceTextA("02", "F", 0, TRUE, &nPos, FALSE), 0);
  EXPECT_EQ(t.doc.ReplaceTextA("02", " F ", 0, TRUE, &nPos, FALSE), 0);
  EXPECT_EQ(TextOf(t.doc), "\x01\x02\x03\xFF");
  EXPECT_EQ(t.doc.block.GetStartPtr(), 1u);
  EXPECT_EQ(t.doc.ReplaceTextA("02", "", 0, TRUE, &nPos, FALSE), 2);
  EXPECT_EQ(TextOf(t.doc), "\x01\x03\xFF");
}

TEST(SearchFind, FindResultListFollowsFindsAndEdits) {
  TextDoc t(A);
  ASSERT_TRUE(t.SetText("abab ab x\nab"));
  t.doc.SetShowFindResult(TRUE);
  int nPos = 0;
  ASSERT_EQ(t.doc.FindTextA("ab", 0, FALSE, &nPos, FALSE), 1);
  CMrMetaBlockFindResult* pList = t.doc.pFindResult;
  ASSERT_NE(pList, nullptr);
  pList->Rescan(&t.doc, 0, t.doc.nLineCount - 1);
  auto rangesOf = [&](int nPara) {
    std::vector<std::pair<int, int>> out;
    const MIREL_META_SLOT* pSlot = pList->GetSlot(nPara);
    for (const MIREL_META_RANGE& r : pSlot->ranges) {
      if (r.nStart == 0 && r.nEnd == 0) break;
      out.emplace_back(r.nStart, r.nEnd);
    }
    return out;
  };
  EXPECT_EQ(rangesOf(0), (std::vector<std::pair<int, int>>{{0, 2}, {2, 4}, {5, 7}}));
  EXPECT_EQ(rangesOf(1), (std::vector<std::pair<int, int>>{{0, 2}}));
  ASSERT_EQ(t.doc.FindTextA("ab", WORD, FALSE, &(nPos = 0), FALSE), 1);
  pList->Rescan(&t.doc, 0, t.doc.nLineCount - 1);
  EXPECT_EQ(rangesOf(0), (std::vector<std::pair<int, int>>{{5, 7}}));
  // An edit in paragraph 1 clears from there and leaves paragraph 0 scanned.
  ASSERT_TRUE(t.doc.InsertContents(10, reinterpret_cast<const BYTE*>("x"), 1, FALSE));
  EXPECT_TRUE(pList->GetSlot(0)->bScanned);
  EXPECT_FALSE(pList->GetSlot(1)->bScanned);
  // A pattern length <= 0 clears the list.
  t.doc.SetFindResult(reinterpret_cast<const BYTE*>("ab"), 0, 0);
  EXPECT_EQ(pList->GetPatternLength(), 0);
  pList->Rescan(&t.doc, 0, t.doc.nLineCount - 1);
  EXPECT_TRUE(rangesOf(0).empty());
  t.doc.SetShowFindResult(FALSE);
  EXPECT_EQ(t.doc.pFindResult, nullptr);
}

// The highlighter marks the matches a find selects: whole words that overlap
// a rejected candidate, the text's own bytes of a case-blind match, and never
// half of a surrogate pair.
TEST(SearchFind, FindResultRangesAreTheMatchesAFindSelects) {
  struct Case {
    const char* pszName;
    int nEncoding;
    std::string text;
    std::string pattern;
    int nFlags;
    std::vector<std::pair<int, int>> ranges;
  } cases[] = {
      {"whole word after an overlap", A, "ba a a", "a a", WORD | CASE, {{3, 6}}},
      {"UTF-8 longer upper case", U8, "x\xE2\xB1\xA2y \xC9\xAB", "\xC9\xAB", 0, {{1, 4}, {6, 8}}},
      {"UTF-8 byte that starts no character",
       U8,
       "\xFF"
       "ccc",
       "\xFF"
       "CCC",
       0,
       {{0, 4}}},
      {"UTF-16 low half", W, Utf16({0xD83D, 0xDE00, 'a', 0xDE00}), Utf16({0xDE00}), CASE, {{6, 8}}},
      {"UTF-16 whole pair", W, Utf16({0xD83D, 0xDE00}), Utf16({0xD83D, 0xDE00}), CASE, {{0, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pszName);
    TextDoc t(c.nEncoding);
    ASSERT_TRUE(t.SetText(c.text));
    t.doc.SetShowFindResult(TRUE);
    t.doc.SetFindResult(reinterpret_cast<const BYTE*>(c.pattern.data()), static_cast<int>(c.pattern.size()),
                        c.nFlags);
    t.doc.pFindResult->Rescan(&t.doc, 0, 0);
    std::vector<std::pair<int, int>> got;
    for (const MIREL_META_RANGE& r : t.doc.pFindResult->GetSlot(0)->ranges) {
      if (r.nStart == 0 && r.nEnd == 0) break;
      got.emplace_back(r.nStart, r.nEnd);
    }
    EXPECT_EQ(got, c.ranges);
  }
}

// A selected match is replaced when the find compares it equal, whatever its
// length.
TEST(SearchFind, ReplaceTakesTheSelectedMatchOfAnyLength) {
  struct Case {
    std::string text;
    int nSelStart, nSelEnd;
    std::string find;
  } cases[] = {
      {"x\xE2\xB1\xA2y", 1, 4, "\xC9\xAB"},
      {"x\xC9\xABy", 1, 3, "\xE2\xB1\xA2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.find);
    TextDoc t(U8);
    ASSERT_TRUE(t.SetText(c.text));
    t.doc.SetSel(static_cast<DWORD>(c.nSelStart), static_cast<DWORD>(c.nSelEnd), TRUE);
    int nPos = 0;
    EXPECT_EQ(t.doc.ReplaceText(reinterpret_cast<const BYTE*>(c.find.data()), static_cast<int>(c.find.size()),
                                reinterpret_cast<const BYTE*>("z"), 1, 0, TRUE, &nPos, FALSE),
              2);
    EXPECT_EQ(TextOf(t.doc), "xzy");
    EXPECT_EQ(nPos, 2);
  }
}

TEST(SearchFind, HyperLinkRanges) {
  struct Case {
    const char* pszText;
    std::vector<std::pair<int, int>> ranges;
  } cases[] = {
      {"see http://a.b/c, next", {{4, 17}}},
      {"(https://x.y)", {{1, 12}}},
      {"xhttp://q", {{1, 9}}},
      {"MAILTO:me@x", {{0, 11}}},
      {"ftp:/", {}},
      {"a ftp://x\tb http://", {{2, 9}, {12, 19}}},
  };
  for (int nEncoding : {A, W}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.pszText);
      TextDoc t(nEncoding);
      const int nUnit = nEncoding == W ? 2 : 1;
      ASSERT_TRUE(t.SetText(nEncoding == W ? Utf16(c.pszText) : std::string(c.pszText)));
      t.doc.SetShowHyperLink(TRUE);
      t.doc.pHyperLink->Rescan(&t.doc, 0, 0);
      std::vector<std::pair<int, int>> got;
      for (const MIREL_META_RANGE& r : t.doc.pHyperLink->GetSlot(0)->ranges) {
        if (r.nStart == 0 && r.nEnd == 0) break;
        got.emplace_back(r.nStart / nUnit, r.nEnd / nUnit);
      }
      EXPECT_EQ(got, c.ranges);
    }
  }
}

TEST(SearchFind, SlotsGrowInStepsAndWrappedParagraphsScanOnce) {
  TextDoc t(A, MIREL_WRAP_CHAR);
  std::string text;
  for (int i = 0; i < 300; ++i) text += "l\n";
  text += "ab ab ab ab ab ab ab ab ab ab ab ab ab";
  ASSERT_TRUE(t.SetText(text));
  t.doc.SetShowFindResult(TRUE);
  t.doc.SetFindResult(reinterpret_cast<const BYTE*>("ab"), 2, 0);
  const int nLast = t.doc.nLineCount - 1;
  ASSERT_GT(t.doc.pLines[nLast].nSubLine, 0u);  // the last paragraph wraps
  t.doc.pFindResult->Rescan(&t.doc, nLast, nLast);
  EXPECT_EQ(t.doc.pFindResult->GetSlotCount(), 384);
  const MIREL_META_SLOT* pSlot = t.doc.pFindResult->GetSlot(300);
  ASSERT_NE(pSlot, nullptr);
  EXPECT_TRUE(pSlot->bScanned);
  EXPECT_EQ(pSlot->nUsed, 13);
  EXPECT_EQ(pSlot->ranges[12].nStart, 36);
}

TEST(SearchFind, MatchBrace) {
  struct Case {
    int nEncoding;
    std::string text;
    int nCaret;
    int nResult;
    int nAnchor;
    int nCaretAfter;
  } cases[] = {
      {A, "a(b(x)d)e", 0, 1, 1, 8},
      {A, "x)", 0, 1, 1, 1},
      {A, "( ] )", 0, 1, 0, 5},
      {A, "(a)b", 3, 0, 0, 3},  // nothing changes
      {A, "a(b)", 3, 1, 4, 1},
      {W, Utf16({'a', '(', 0x2928, ')'}), 0, 1, 2, 8},  // 0x2928's low byte is "(": no bracket
  };
  for (const Case& c : cases) {
    TextDoc t(c.nEncoding);
    ASSERT_TRUE(t.SetText(c.text));
    t.doc.nCaretPos = c.nCaret;
    EXPECT_EQ(t.doc.MatchBrace(0), c.nResult);
    EXPECT_EQ(t.doc.nCaretPos, c.nCaretAfter);
    EXPECT_EQ(static_cast<int>(t.doc.block.nAnchor), c.nAnchor);
    EXPECT_EQ(t.doc.cli, t.doc.GetLineFromPos(static_cast<DWORD>(t.doc.nCaretPos)));
  }
}

}  // namespace
