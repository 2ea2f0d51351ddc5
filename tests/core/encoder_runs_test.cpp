// The converter gathers characters into runs of up to 64 KiB and skips
// ASCII eight bytes at a time: a text converted at once must equal its
// characters converted one by one, wherever the run and word boundaries
// fall. And when the memory output cannot grow part-way, the conversion
// goes on in the temporary file with the same result.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/cmrcharencoder.h"
#include "mirel/mirel.h"
#include "textio_test_util.h"

using namespace mirel_textio_test;

namespace {

constexpr size_t kRun = 0x10000;

// A text as its characters in the source encoding (each converted alone
// gives its part of the expected output).
using Pieces = std::vector<std::string>;

std::string Join(const Pieces& pieces) {
  std::string out;
  for (const std::string& p : pieces) out += p;
  return out;
}

struct Converted {
  bool bOk = false;
  std::string bytes;
  DWORD nCaret = 0, nStart = 0, nEnd = 0;
  bool bThroughFile = false;
};

Converted Convert(const std::string& src, int nFrom, int nTo, DWORD nCaret = 0, DWORD nStart = 0,
                  DWORD nEnd = 0) {
  Converted c;
  CMrCharEncoder enc(nullptr, Bytes(src), static_cast<DWORD>(src.size()), nFrom, 949);
  enc.SetTrackedPointers(nCaret, nStart, nEnd);
  c.bOk = enc.Convert(nTo) != FALSE;
  if (!c.bOk) return c;
  c.bThroughFile = enc.GetTempName()[0] != '\0';
  c.bytes.assign(enc.GetOutputLength(), '\0');
  if (!c.bytes.empty()) {
    EXPECT_EQ(enc.Read(reinterpret_cast<BYTE*>(&c.bytes[0]), enc.GetOutputLength()), c.bytes.size());
  }
  enc.GetTrackedPointers(&c.nCaret, &c.nStart, &c.nEnd);
  return c;
}

// The characters that test a boundary, in each source encoding: a
// two-byte character, a lead byte cut off by a control character, an
// ill-formed sequence, a pair of surrogates, a lone surrogate, NUL.
struct Special {
  const char* name;
  int nFrom;
  Pieces chars;  // converted one by one, as the walk must
};

std::vector<Special> Specials() {
  return {
      {"Hangul949", MIREL_ENCODING_ANSI, {"\xC7\xD1", "\xB1\xDB"}},
      {"LeadBeforeCr949", MIREL_ENCODING_ANSI, {"\xB0", "\r\n", "\xB0", " "}},
      {"Nul949", MIREL_ENCODING_ANSI, {"\xC7\xD1", std::string(1, '\0'), "\xB1\xDB"}},
      {"HangulUtf8", MIREL_ENCODING_UTF8, {"\xED\x95\x9C", "\xEA\xB8\x80"}},
      {"SmileUtf8", MIREL_ENCODING_UTF8, {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81"}},
      {"IllFormedUtf8",
       MIREL_ENCODING_UTF8,
       {"\xE0\x80", "\xC0", "\xED\xA0\x80", "\x80\x80", "\xF4\x90\x80"}},
      {"SmileUtf16", MIREL_ENCODING_UTF16LE, {std::string("\x3D\xD8\x00\xDE", 4), "\x3D\xD8\x01\xDE"}},
      {"LoneSurrogatesUtf16",
       MIREL_ENCODING_UTF16LE,
       {"\x3D\xD8", std::string("\x41\x00", 2), std::string("\x00\xDE", 2), "\x5C\xD5"}},
      {"NulUtf16",
       MIREL_ENCODING_UTF16LE,
       {std::string("\x00\x00", 2), "\x5C\xD5", std::string("\r\0\n\0", 4)}},
  };
}

std::string Filler(int nEncoding, size_t nChars) {
  std::string out;
  for (size_t i = 0; i < nChars; ++i) {
    out += static_cast<char>('a' + i % 26);
    if (IsWideEncoding(nEncoding)) out += '\0';
  }
  return out;
}

// "" when equal, else where the bytes first differ and a few of them.
std::string Difference(const std::string& got, const std::string& want) {
  if (got == want) return "";
  size_t i = 0;
  while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
  const size_t nFrom = i > 4 ? i - 4 : 0;
  return "at " + std::to_string(i) + " of " + std::to_string(want.size()) + ": got " +
         Hex(got.substr(nFrom, 12)) + ", want " + Hex(want.substr(nFrom, 12));
}

std::vector<int> TargetsOf(int nFrom) {
  std::vector<int> out;
  for (int n : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8})
    if (n != nFrom) out.push_back(n);
  return out;
}

TEST(EncoderRuns, SpecialCharactersAtEveryWordAndRunBoundaryConvertAsAlone) {
  for (const Special& s : Specials()) {
    // Characters before the special ones: every place in an 8-byte word, and
    // around the end of the first 64 KiB run (a character split across it).
    const size_t nUnit = IsWideEncoding(s.nFrom) ? 2 : 1;
    std::vector<size_t> leads;
    for (size_t i = 0; i <= 9; ++i) leads.push_back(i);
    for (size_t i = 0; i <= 5; ++i) leads.push_back(kRun / nUnit - 3 + i);
    for (int nTo : TargetsOf(s.nFrom)) {
      for (size_t nLead : leads) {
        const std::string head = Filler(s.nFrom, nLead);
        Pieces pieces{head};
        for (const std::string& c : s.chars) pieces.push_back(c);
        pieces.push_back(Filler(s.nFrom, 11));
        std::string want;
        for (const std::string& p : pieces) {
          const Converted alone = Convert(p, s.nFrom, nTo);
          ASSERT_TRUE(alone.bOk);
          want += alone.bytes;
        }
        // The caret on the first special character, the selection over them.
        const DWORD nFirst = static_cast<DWORD>(head.size());
        const DWORD nAfter = static_cast<DWORD>(Join(Pieces(pieces.begin(), pieces.end() - 1)).size());
        const Converted got = Convert(Join(pieces), s.nFrom, nTo, nFirst, nFirst, nAfter);
        ASSERT_TRUE(got.bOk) << s.name << " to " << nTo << " after " << nLead;
        EXPECT_EQ(Difference(got.bytes, want), "") << s.name << " to " << nTo << " after " << nLead;
        const DWORD nWantFirst = static_cast<DWORD>(Convert(head, s.nFrom, nTo).bytes.size());
        EXPECT_EQ(got.nCaret, nWantFirst) << s.name << " after " << nLead;
        EXPECT_EQ(got.nEnd, want.size() - Convert(pieces.back(), s.nFrom, nTo).bytes.size()) << s.name;
      }
    }
  }
}

// Tracked positions inside a character or a CR LF pair lying on a run
// boundary map to where the character starts.
TEST(EncoderRuns, PositionsInsideACharacterOnARunBoundaryMapToItsStart) {
  struct Case {
    const char* name;
    int nFrom;
    std::string ch;
  } cases[] = {{"CrLf949", MIREL_ENCODING_ANSI, "\r\n"},
               {"Hangul949", MIREL_ENCODING_ANSI, "\xC7\xD1"},
               {"SmileUtf8", MIREL_ENCODING_UTF8, "\xF0\x9F\x98\x80"},
               {"SmileUtf16", MIREL_ENCODING_UTF16LE, std::string("\x3D\xD8\x00\xDE", 4)},
               {"CrLfUtf16", MIREL_ENCODING_UTF16LE, std::string("\r\0\n\0", 4)}};
  for (const Case& c : cases) {
    const std::string head = Filler(c.nFrom, IsWideEncoding(c.nFrom) ? kRun / 2 - 1 : kRun - 1);
    const std::string src = head + c.ch + Filler(c.nFrom, 3);
    for (int nTo : TargetsOf(c.nFrom)) {
      const DWORD nWant = static_cast<DWORD>(Convert(head, c.nFrom, nTo).bytes.size());
      for (size_t k = 1; k < c.ch.size(); ++k) {
        const DWORD nInside = static_cast<DWORD>(head.size() + k);
        const Converted got = Convert(src, c.nFrom, nTo, nInside, nInside, nInside);
        ASSERT_TRUE(got.bOk);
        EXPECT_EQ(got.nCaret, nWant) << c.name << " to " << nTo << " inside at " << k;
        EXPECT_EQ(Difference(got.bytes, Convert(src, c.nFrom, nTo).bytes), "") << c.name;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Out of memory part-way

class EncoderOutOfMemory : public testing::Test {
 protected:
  void TearDown() override { CMrCharEncoder::SetOutputLimitsForTesting(0, 0); }
};

// Many short runs (NUL characters end them), so the output outgrows a small
// memory limit after a few of them.
std::string ManyRuns(int nEncoding) {
  std::vector<Char> text;
  for (int i = 0; i < 200; ++i) {
    for (Char c : {Ascii('a'), Han(), Ascii('\r'), Ascii('\n'), Geul(), Ascii('\0'), Ascii('z')})
      text.push_back(c);
  }
  return InEncoding(text, nEncoding);
}

TEST_F(EncoderOutOfMemory, GoesOnInTheTemporaryFileWithTheSameResult) {
  for (int nFrom : {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8}) {
    const std::string src = ManyRuns(nFrom);
    const DWORD nCaret = static_cast<DWORD>(src.size() / 2);
    for (int nTo : TargetsOf(nFrom)) {
      const Converted inMemory = Convert(src, nFrom, nTo, nCaret, 3, nCaret);
      ASSERT_TRUE(inMemory.bOk);
      ASSERT_FALSE(inMemory.bThroughFile);
      CMrCharEncoder::SetOutputLimitsForTesting(static_cast<DWORD>(inMemory.bytes.size() / 3), 0);
      const Converted moved = Convert(src, nFrom, nTo, nCaret, 3, nCaret);
      CMrCharEncoder::SetOutputLimitsForTesting(0, 0);
      ASSERT_TRUE(moved.bOk) << nFrom << " to " << nTo;
      EXPECT_TRUE(moved.bThroughFile);
      EXPECT_EQ(Difference(moved.bytes, inMemory.bytes), "") << nFrom << " to " << nTo;
      EXPECT_EQ(moved.nCaret, inMemory.nCaret);
      EXPECT_EQ(moved.nStart, inMemory.nStart);
      EXPECT_EQ(moved.nEnd, inMemory.nEnd);
    }
  }
}

TEST_F(EncoderOutOfMemory, DocumentIsReencodedThroughTheFileOrLeftIntactWhenTheFileFails) {
  const std::string src = ManyRuns(MIREL_ENCODING_ANSI);
  const Converted want = Convert(src, MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8);
  ASSERT_TRUE(want.bOk);
  struct Case {
    const char* what;
    DWORD nFileLimit;
    bool bDone;
  } cases[] = {{"the file takes the rest", 0, true}, {"the file is full as well", 64, false}};
  for (const Case& c : cases) {
    IoDoc d(MIREL_ENCODING_ANSI);
    ASSERT_TRUE(d.Fill(src));
    ASSERT_EQ(d.doc.InsertA("x", 1, TRUE), 1);
    d.doc.SetModified(FALSE);
    CMrCharEncoder::SetOutputLimitsForTesting(static_cast<DWORD>(want.bytes.size() / 4), c.nFileLimit);
    const int nResult = d.doc.SetFileEncoding(MIREL_ENCODING_UTF8);
    CMrCharEncoder::SetOutputLimitsForTesting(0, 0);
    if (c.bDone) {
      EXPECT_EQ(nResult, 1) << c.what;
      EXPECT_EQ(d.doc.nFileEncoding, MIREL_ENCODING_UTF8) << c.what;
      EXPECT_EQ(Difference(d.Text(), "x" + want.bytes), "") << c.what;
    } else {
      EXPECT_EQ(nResult, 0) << c.what;
      EXPECT_EQ(d.doc.nFileEncoding, MIREL_ENCODING_ANSI) << c.what;
      EXPECT_EQ(Difference(d.Text(), "x" + src), "") << c.what;
      EXPECT_TRUE(d.doc.CanUndo()) << c.what;
      EXPECT_FALSE(d.doc.IsModified()) << c.what;
    }
  }
}

}  // namespace
