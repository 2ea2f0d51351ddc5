// The whole-text converter: every pair of the text encodings on a text with
// Hangul, a character outside the basic plane, NUL, CR LF and a lone CR, in
// memory and through the temporary file, with the tracked positions; and the
// document's re-encoding built on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mirel/ccontentshandlernormal.h"
#include "mirel/cmrcharencoder.h"
#include "doc_test_util.h"
#include "textio_test_util.h"

using namespace mirel_textio_test;

namespace {

// "A", HAN, CR LF, NUL, GEUL, the smile, CR, "z".
std::vector<Char> EncoderText() {
  return {Ascii('A'), Han(), Ascii('\r'), Ascii('\n'), Ascii('\0'), Geul(), Smile(), Ascii('\r'), Ascii('z')};
}

// The text as it stands in an encoding once it has passed through another:
// code page 949 cannot hold the smile.
std::vector<Char> TextFor(const std::vector<Char>& text, int nFrom, int nTo) {
  return nFrom == MIREL_ENCODING_ANSI || nTo == MIREL_ENCODING_ANSI ? ThroughAnsi(text) : text;
}

struct Pair {
  int nFrom;
  int nTo;
  bool bTempFile;
};

std::string PairName(const testing::TestParamInfo<Pair>& info) {
  return std::string(EncodingName(info.param.nFrom)) + "To" + EncodingName(info.param.nTo) +
         (info.param.bTempFile ? "ThroughFile" : "InMemory");
}

std::vector<Pair> AllPairs() {
  const int codes[] = {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                       MIREL_ENCODING_UTF8_BOM};
  std::vector<Pair> pairs;
  for (bool bFile : {false, true})
    for (int a : codes)
      for (int b : codes)
        if (a != b) pairs.push_back({a, b, bFile});
  return pairs;
}

class EncoderPairs : public testing::TestWithParam<Pair> {
 protected:
  void SetUp() override {
    if (GetParam().bTempFile) CMrCharEncoder::SetMemoryLimitForTesting(1);
  }
  void TearDown() override { CMrCharEncoder::SetMemoryLimitForTesting(0); }
};

TEST_P(EncoderPairs, ConvertsEveryCharacterAndMovesTrackedPositionsWithThem) {
  const Pair& p = GetParam();
  const std::vector<Char> text = TextFor(EncoderText(), p.nFrom, p.nTo);
  const std::string src = InEncoding(text, p.nFrom);
  const std::string want = InEncoding(text, p.nTo);
  // Every character boundary as caret, with a selection from the second
  // boundary to the one before the last.
  for (size_t i = 0; i <= text.size(); ++i) {
    CMrCharEncoder enc(nullptr, Bytes(src), static_cast<DWORD>(src.size()), p.nFrom, 949);
    enc.SetTrackedPointers(OffsetOf(text, i, p.nFrom), OffsetOf(text, 1, p.nFrom),
                           OffsetOf(text, text.size() - 1, p.nFrom));
    ASSERT_TRUE(enc.Convert(p.nTo));
    if (p.bTempFile) {
      EXPECT_NE(std::string(enc.GetTempName()), "");
    }
    ASSERT_EQ(enc.GetOutputLength(), want.size());
    std::string out(want.size(), '\0');
    ASSERT_EQ(enc.Read(reinterpret_cast<BYTE*>(&out[0]), static_cast<DWORD>(out.size())), want.size());
    EXPECT_EQ(Hex(out), Hex(want));
    DWORD nCaret = 0, nStart = 0, nEnd = 0;
    enc.GetTrackedPointers(&nCaret, &nStart, &nEnd);
    // A CR LF pair is one character: between its halves is its start. UTF-8
    // with and without the mark keep every position.
    const bool bCopy = p.nFrom >= MIREL_ENCODING_UTF8 && p.nTo >= MIREL_ENCODING_UTF8;
    const bool bInPair =
        !bCopy && i > 0 && i < text.size() && text[i - 1].utf8 == "\r" && text[i].utf8 == "\n";
    EXPECT_EQ(nCaret, static_cast<DWORD>(OffsetOf(text, bInPair ? i - 1 : i, p.nTo))) << "caret at " << i;
    EXPECT_EQ(nStart, static_cast<DWORD>(OffsetOf(text, 1, p.nTo)));
    EXPECT_EQ(nEnd, static_cast<DWORD>(OffsetOf(text, text.size() - 1, p.nTo)));
  }
}

INSTANTIATE_TEST_SUITE_P(AllPairs, EncoderPairs, testing::ValuesIn(AllPairs()), PairName);

TEST(Encoder, RefusesUtf16BigEndianUnknownTargetsAndTheSourceEncoding) {
  const std::string src = "ab";
  struct Case {
    int nFrom, nTo;
  } cases[] = {
      {MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16BE},   {MIREL_ENCODING_UTF16BE, MIREL_ENCODING_UTF16LE},
      {MIREL_ENCODING_UTF8, MIREL_ENCODING_UNDEFINED}, {MIREL_ENCODING_UTF8, 6},
      {MIREL_ENCODING_UTF8, MIREL_ENCODING_BINARY},    {MIREL_ENCODING_UTF8, MIREL_ENCODING_UTF8}};
  for (const Case& c : cases) {
    CMrCharEncoder enc(nullptr, Bytes(src), 2, c.nFrom, 949);
    EXPECT_FALSE(enc.Convert(c.nTo)) << c.nFrom << " to " << c.nTo;
    EXPECT_EQ(enc.GetOutputLength(), 0u);
  }
}

TEST(Encoder, AnsiToUtf8GrowsPastTwiceTheSourceAndReadRefusesASmallBuffer) {
  // Code page 1252 curly quotes and the euro sign take three UTF-8 bytes each.
  const std::string src(300, '\x80');
  CMrCharEncoder enc(nullptr, Bytes(src), static_cast<DWORD>(src.size()), MIREL_ENCODING_ANSI, 1252);
  ASSERT_TRUE(enc.Convert(MIREL_ENCODING_UTF8));
  ASSERT_EQ(enc.GetOutputLength(), 900u);
  std::string out(900, '\0');
  EXPECT_EQ(enc.Read(reinterpret_cast<BYTE*>(&out[0]), 899), 0u);
  ASSERT_EQ(enc.Read(reinterpret_cast<BYTE*>(&out[0]), 900), 900u);
  EXPECT_EQ(out.substr(0, 3), "\xE2\x82\xAC");
}

TEST(Encoder, TemporaryFileIsNamedCheAndGoesWithTheEncoder) {
  CMrCharEncoder::SetMemoryLimitForTesting(4);
  std::string name;
  {
    const std::string src = "long enough";
    CMrCharEncoder enc(nullptr, Bytes(src), static_cast<DWORD>(src.size()), MIREL_ENCODING_ANSI, 949);
    ASSERT_TRUE(enc.Convert(MIREL_ENCODING_UTF16LE));
    name = enc.GetTempName();
    const size_t nSlash = name.find_last_of("\\/");
    EXPECT_EQ(name.substr(nSlash + 1, 3), "che");
    EXPECT_NE(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  CMrCharEncoder::SetMemoryLimitForTesting(0);
  EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---------------------------------------------------------------------------
// The document's re-encoding

class Reencode : public testing::TestWithParam<Pair> {
 protected:
  void TearDown() override { CMrCharEncoder::SetMemoryLimitForTesting(0); }
};

TEST_P(Reencode, DocumentTextCaretAndSelectionFollowAndHistoryGoes) {
  const Pair& p = GetParam();
  if (p.bTempFile) CMrCharEncoder::SetMemoryLimitForTesting(1);
  const std::vector<Char> text = TextFor(EncoderText(), p.nFrom, p.nTo);
  IoDoc d(p.nFrom, MIREL_WRAP_CHAR);
  ASSERT_TRUE(d.Fill(InEncoding(text, p.nFrom)));
  ASSERT_EQ(d.doc.InsertA("", 0, TRUE), 1);
  d.doc.SetSel(OffsetOf(text, 6, p.nFrom), OffsetOf(text, 1, p.nFrom), FALSE);
  d.doc.nCaretPos = OffsetOf(text, 1, p.nFrom);
  d.doc.SetModified(FALSE);

  ASSERT_EQ(d.doc.SetFileEncoding(p.nTo), 1);
  EXPECT_EQ(d.doc.nFileEncoding, p.nTo);
  EXPECT_EQ(Hex(d.Text()), Hex(InEncoding(text, p.nTo)));
  static const std::string kMarks[] = {"", "", "\xFE\xFF", "\xFF\xFE", "", "\xEF\xBB\xBF"};
  EXPECT_EQ(Hex(d.File()), Hex(kMarks[p.nTo] + InEncoding(text, p.nTo)));
  EXPECT_EQ(d.doc.nCaretPos, OffsetOf(text, 1, p.nTo));
  EXPECT_EQ(d.doc.block.GetStartPtr(), static_cast<DWORD>(OffsetOf(text, 1, p.nTo)));
  EXPECT_EQ(d.doc.block.GetEndPtr(), static_cast<DWORD>(OffsetOf(text, 6, p.nTo)));
  // Made from right to left, it still runs that way: the caret at its left end.
  EXPECT_EQ(d.doc.block.nAnchor, static_cast<DWORD>(OffsetOf(text, 6, p.nTo)));
  EXPECT_EQ(d.doc.block.nCaret, static_cast<DWORD>(OffsetOf(text, 1, p.nTo)));
  EXPECT_TRUE(d.doc.IsModified());
  EXPECT_FALSE(d.doc.CanUndo());
  // Rows, caret row and block rows agree with a fresh layout.
  const std::vector<mirel_doc_test::Row> rows = mirel_doc_test::RowsOf(d.doc);
  EXPECT_EQ(rows, mirel_doc_test::RebuiltRows(d.doc));
  EXPECT_EQ(d.doc.cli, d.doc.GetLineFromPos(d.doc.nCaretPos));
  EXPECT_EQ(d.doc.block.nAnchorLine, d.doc.GetLineFromPos(d.doc.block.nAnchor));
  EXPECT_EQ(d.doc.block.nCaretLine, d.doc.GetLineFromPos(d.doc.block.nCaret));
  // The zero bytes after the body hold, also after a shorter result.
  const CContentsHandler& s = *d.doc.pContents;
  for (DWORD i = 0; i < MIREL_BODY_PADDING; ++i) EXPECT_EQ(s.pEditBodyFile[s.nBodyLen + i], 0) << i;
}

INSTANTIATE_TEST_SUITE_P(AllPairs, Reencode, testing::ValuesIn(AllPairs()), PairName);

// A store whose new body cannot be had.
class NoMemoryStore : public CContentsHandlerNormal {
 public:
  explicit NoMemoryStore(CMirelDoc* pDocument) : CContentsHandlerNormal(pDocument) {}
  bool bFail = false;

 protected:
  void* AllocateBody(DWORD nBytes) override {
    return bFail ? nullptr : CContentsHandlerNormal::AllocateBody(nBytes);
  }
};

TEST(ReencodeRefused, LeavesTextEncodingHistoryAndModifiedStateAlone) {
  const std::string text = "A\xC7\xD1\r\nz";
  struct Case {
    const char* what;
    int nStart;
    int nTarget;
    bool bFailMemory;
  } cases[] = {{"same encoding", MIREL_ENCODING_ANSI, MIREL_ENCODING_ANSI, false},
               {"undefined", MIREL_ENCODING_ANSI, MIREL_ENCODING_UNDEFINED, false},
               {"beyond the codes", MIREL_ENCODING_ANSI, 6, false},
               {"to UTF-16BE", MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16BE, false},
               {"no memory for the new body", MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF8, true}};
  for (const Case& c : cases) {
    IoDoc d(c.nStart);
    ASSERT_TRUE(d.Fill(text));
    auto* pStore = new NoMemoryStore(&d.doc);
    ASSERT_TRUE(pStore->InsertText(0, Bytes(text), static_cast<DWORD>(text.size()), FALSE));
    delete d.doc.pContents;
    d.doc.pContents = pStore;
    d.doc.ReloadContents();
    ASSERT_EQ(d.doc.InsertA("x", 1, TRUE), 1);
    d.doc.SetModified(FALSE);
    pStore->bFail = c.bFailMemory;
    EXPECT_EQ(d.doc.SetFileEncoding(c.nTarget), 0) << c.what;
    EXPECT_EQ(d.doc.nFileEncoding, c.nStart) << c.what;
    EXPECT_EQ(d.Text(), "x" + text) << c.what;
    EXPECT_TRUE(d.doc.CanUndo()) << c.what;
    EXPECT_FALSE(d.doc.IsModified()) << c.what;
  }
}

TEST(ReencodeBeforeText, StoresTheEncodingForTheTextToCome) {
  CMirelDoc doc;
  EXPECT_EQ(doc.SetFileEncoding(MIREL_ENCODING_UTF16BE), 1);
  ASSERT_EQ(doc.NewFile(), 1);
  EXPECT_EQ(Hex(mirel_doc_test::FileOf(doc)), "FE FF");
}

TEST(ReencodeHexView, CaretAndSelectionAreMappedAcrossTheByteOrderMark) {
  // File positions: "ab" after a UTF-8 mark is 3..5; in UTF-16 after FF FE it
  // is 2..6.
  IoDoc d(MIREL_ENCODING_UTF8_BOM);
  ASSERT_TRUE(d.Fill("ab\xED\x95\x9C"));
  d.doc.nViewType = MIREL_VIEW_TYPE_HEX;
  d.doc.ReloadContents();
  d.doc.nCaretPos = 4;
  d.doc.block.SetBoth(4, 0);
  d.doc.block.SetCaretRaw(8, 0);
  ASSERT_EQ(d.doc.SetFileEncoding(MIREL_ENCODING_UTF16LE), 1);
  EXPECT_EQ(Hex(d.File()), "FF FE 61 00 62 00 5C D5");
  EXPECT_EQ(d.doc.nCaretPos, 4);
  EXPECT_EQ(d.doc.block.GetStartPtr(), 4u);
  EXPECT_EQ(d.doc.block.GetEndPtr(), 8u);
  EXPECT_EQ(d.doc.cli, d.doc.GetHexLineFromPos(4));
}

}  // namespace
