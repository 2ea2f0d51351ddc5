// Reading one mixed text (ASCII, Hangul, CR LF, a character outside the basic
// plane) out of a document of every encoding in every host form, and writing
// it in through every insert and reading it back.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "doc_test_util.h"
#include "textio_test_util.h"

namespace mirel_textio_test {
namespace {

class TextIoMatrix : public ::testing::TestWithParam<int> {
 protected:
  // The mixed text as a document of the encoding can hold it.
  std::vector<Char> Held() const {
    return GetParam() == MIREL_ENCODING_ANSI ? ThroughAnsi(MixedText()) : MixedText();
  }
};

TEST_P(TextIoMatrix, ReadsTheWholeTextInEveryForm) {
  IoDoc d(GetParam());
  const std::vector<Char> held = Held();
  ASSERT_TRUE(d.Fill(InEncoding(held, GetParam())));
  const int nLen = d.TextLength();

  // Code 949 cannot show the smile: two default characters in the ANSI form.
  EXPECT_EQ(Hex(ReadA(d.doc, 0, nLen)), Hex(Cp949(held)));
  EXPECT_EQ(Hex(ReadW(d.doc, 0, nLen)), Hex(Units(held)));
  EXPECT_EQ(Hex(ReadU(d.doc, 0, nLen)), Hex(Utf8(held)));
  // A range past the end is cut to the text.
  EXPECT_EQ(Hex(ReadU(d.doc, 0, nLen + 100)), Hex(Utf8(held)));
}

TEST_P(TextIoMatrix, ReadsAPartOfTheTextExactlyOrInWholeCharacters) {
  IoDoc d(GetParam());
  const std::vector<Char> held = Held();
  ASSERT_TRUE(d.Fill(InEncoding(held, GetParam())));
  const int e = GetParam();
  const int nHan = OffsetOf(held, 3, e);
  const int nCr = OffsetOf(held, 4, e);
  const int nGeul = OffsetOf(held, 6, e);
  const int nAfterGeul = OffsetOf(held, 7, e);

  // A read in the document's own form is the stored bytes, exactly the range;
  // a converted read takes whole characters.
  const bool bAnsi = e == MIREL_ENCODING_ANSI;
  const bool bUtf8 = e == MIREL_ENCODING_UTF8 || e == MIREL_ENCODING_UTF8_BOM;
  const std::string stored = mirel_doc_test::TextOf(d.doc);
  auto raw = [&](int nFrom, int nTo) {
    return Hex(stored.substr(static_cast<size_t>(nFrom), static_cast<size_t>(nTo - nFrom)));
  };

  // From the second byte of HAN to the CR: HAN alone, whole.
  const std::vector<Char> han(held.begin() + 3, held.begin() + 4);
  EXPECT_EQ(Hex(ReadW(d.doc, nHan + 1, nCr)), Hex(Units(han)));
  EXPECT_EQ(Hex(ReadA(d.doc, nHan + 1, nCr)), bAnsi ? raw(nHan + 1, nCr) : Hex(Cp949(han)));
  EXPECT_EQ(Hex(ReadU(d.doc, nHan + 1, nCr)), bUtf8 ? raw(nHan + 1, nCr) : Hex(Utf8(han)));

  // A range that ends between CR and LF takes the whole line end.
  const std::vector<Char> lineEnd(held.begin() + 4, held.begin() + 6);
  EXPECT_EQ(ReadA(d.doc, nCr, nCr + 1), bAnsi ? "\r" : "\r\n");
  EXPECT_EQ(Hex(ReadW(d.doc, nCr, nCr + 1)), Hex(Units(lineEnd)));

  // A range that ends inside GEUL takes the whole character.
  const std::vector<Char> geul(held.begin() + 6, held.begin() + 7);
  EXPECT_EQ(Hex(ReadU(d.doc, nGeul, nGeul + 1)), bUtf8 ? raw(nGeul, nGeul + 1) : Hex(Utf8(geul)));
  EXPECT_EQ(Hex(ReadW(d.doc, nGeul, nAfterGeul - 1)), Hex(Units(geul)));
}

TEST_P(TextIoMatrix, RefusedRangesReturnZeroAndWriteNothing) {
  IoDoc d(GetParam());
  ASSERT_TRUE(d.Fill(InEncoding(Held(), GetParam())));
  const int nLen = d.TextLength();
  char buf[16];
  WCHAR wbuf[16];
  const struct {
    int nFrom, nTo;
  } kRanges[] = {{6, 2},  {4, 4},  {nLen, nLen + 5},  {nLen + 3, nLen + 9},
                 {-2, 4}, {0, -1}, {INT_MIN, INT_MAX}};
  for (const auto& r : kRanges) {
    SCOPED_TRACE(testing::Message() << "[" << r.nFrom << ", " << r.nTo << ")");
    std::fill(std::begin(buf), std::end(buf), static_cast<char>(kGuard));
    std::fill(std::begin(wbuf), std::end(wbuf), static_cast<WCHAR>(0xCDCD));
    EXPECT_EQ(d.doc.GetTextA(nullptr, r.nFrom, r.nTo), 0);
    EXPECT_EQ(d.doc.GetTextA(buf, r.nFrom, r.nTo), 0);
    EXPECT_EQ(d.doc.GetTextW(nullptr, r.nFrom, r.nTo), 0);
    EXPECT_EQ(d.doc.GetTextW(wbuf, r.nFrom, r.nTo), 0);
    EXPECT_EQ(d.doc.GetTextU(nullptr, r.nFrom, r.nTo), 0);
    EXPECT_EQ(d.doc.GetTextU(buf, r.nFrom, r.nTo), 0);
    for (char c : buf) EXPECT_EQ(static_cast<unsigned char>(c), kGuard);
    for (WCHAR w : wbuf) EXPECT_EQ(w, static_cast<WCHAR>(0xCDCD));
  }
}

TEST_P(TextIoMatrix, NulCharactersAreTextLikeAnyOther) {
  IoDoc d(GetParam());
  const std::vector<Char> text = {Ascii('a'), Ascii('\0'), Han(), Ascii('\0'), Ascii('\0'), Ascii('b')};
  ASSERT_TRUE(d.Fill(InEncoding(text, GetParam())));
  const int nLen = d.TextLength();
  EXPECT_EQ(Hex(ReadA(d.doc, 0, nLen)), Hex(Cp949(text)));
  EXPECT_EQ(Hex(ReadW(d.doc, 0, nLen)), Hex(Units(text)));
  EXPECT_EQ(Hex(ReadU(d.doc, 0, nLen)), Hex(Utf8(text)));
}

// Every insert of the mixed text stores it in the document encoding and reads
// back unchanged in the same form (what code page 949 cannot show aside).
TEST_P(TextIoMatrix, InsertThenReadRoundTrips) {
  const int e = GetParam();
  const std::vector<Char> held = Held();
  {
    SCOPED_TRACE("InsertW");
    IoDoc d(e);
    ASSERT_TRUE(d.Fill(""));
    const std::basic_string<WCHAR> w = HostWide(Units(MixedText()));
    EXPECT_EQ(d.doc.InsertW(w.data(), static_cast<int>(w.size()), TRUE), 1);
    EXPECT_EQ(Hex(d.Text()), Hex(InEncoding(held, e)));
    EXPECT_EQ(Hex(ReadW(d.doc, 0, d.TextLength())), Hex(Units(held)));
    EXPECT_EQ(d.doc.nCaretPos, d.TextLength());
  }
  {
    SCOPED_TRACE("InsertU");
    IoDoc d(e);
    ASSERT_TRUE(d.Fill(""));
    const std::string u = Utf8(MixedText());
    EXPECT_EQ(d.doc.InsertU(u.data(), static_cast<int>(u.size()), TRUE), 1);
    EXPECT_EQ(Hex(d.Text()), Hex(InEncoding(held, e)));
    EXPECT_EQ(Hex(ReadU(d.doc, 0, d.TextLength())), Hex(Utf8(held)));
  }
  {
    SCOPED_TRACE("InsertA");
    IoDoc d(e);
    ASSERT_TRUE(d.Fill(""));
    const std::string a = Cp949(MixedText());
    EXPECT_EQ(d.doc.InsertA(a.data(), static_cast<int>(a.size()), TRUE), 1);
    const std::vector<Char> viaAnsi = ThroughAnsi(MixedText());
    EXPECT_EQ(Hex(d.Text()), Hex(InEncoding(viaAnsi, e)));
    EXPECT_EQ(Hex(ReadA(d.doc, 0, d.TextLength())), Hex(a));
  }
}

TEST_P(TextIoMatrix, InsertKeepsNulCharacters) {
  const int e = GetParam();
  const std::vector<Char> text = {Ascii('a'), Ascii('\0'), Geul(), Ascii('\0'), Ascii('b')};
  IoDoc dw(e);
  ASSERT_TRUE(dw.Fill(""));
  const std::basic_string<WCHAR> w = HostWide(Units(text));
  EXPECT_EQ(dw.doc.InsertW(w.data(), static_cast<int>(w.size()), FALSE), 1);
  EXPECT_EQ(Hex(dw.Text()), Hex(InEncoding(text, e)));

  IoDoc da(e);
  ASSERT_TRUE(da.Fill(""));
  const std::string a = Cp949(text);
  EXPECT_EQ(da.doc.InsertA(a.data(), static_cast<int>(a.size()), FALSE), 1);
  EXPECT_EQ(Hex(da.Text()), Hex(InEncoding(text, e)));
}

INSTANTIATE_TEST_SUITE_P(Encodings, TextIoMatrix,
                         ::testing::Values(MIREL_ENCODING_ANSI, MIREL_ENCODING_UTF16BE,
                                           MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF8,
                                           MIREL_ENCODING_UTF8_BOM),
                         EncodingParamName);

// Code 2 is a byte-order mark only: its units are little-endian like code 3.
TEST(TextIoEncoding2, StoresAndReadsLittleEndianUnitsAfterItsMark) {
  IoDoc d(MIREL_ENCODING_UTF16BE);
  ASSERT_TRUE(d.Fill(""));
  const std::basic_string<WCHAR> w = HostWide(u"A\uD55C");
  ASSERT_EQ(d.doc.InsertW(w.data(), 2, FALSE), 1);
  EXPECT_EQ(Hex(d.File()), "FE FF 41 00 5C D5");
  EXPECT_EQ(ReadW(d.doc, 0, 4), u"A\uD55C");
  EXPECT_EQ(Hex(ReadA(d.doc, 0, 4)), "41 C7 D1");
}

TEST(TextIoSurrogates, APairIsNeverSplitAtEitherEnd) {
  IoDoc d(MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(d.Fill(LeBytes(u"x\U0001F600y")));
  // [2, 4) is the high half, [4, 6) the low half.
  EXPECT_EQ(ReadW(d.doc, 2, 4), u"\U0001F600");
  EXPECT_EQ(ReadW(d.doc, 4, 6), u"\U0001F600");
  EXPECT_EQ(ReadW(d.doc, 0, 3), u"x\U0001F600");
  EXPECT_EQ(Hex(ReadU(d.doc, 4, 8)), "F0 9F 98 80 79");
  EXPECT_EQ(ReadA(d.doc, 2, 4), "??");
}

TEST(TextIoCodePages, InsertAReadsTheSystemCodePageAndTheOthersTheDocuments) {
  // A UTF-8 document whose own code page is 1252: host ANSI text is still
  // read in the system code page (949).
  IoDoc u8(MIREL_ENCODING_UTF8);
  ASSERT_TRUE(u8.Fill(""));
  u8.doc.nCodePage = 1252;
  ASSERT_EQ(u8.doc.InsertA("\xC7\xD1", 2, FALSE), 1);
  EXPECT_EQ(Hex(u8.Text()), "ED 95 9C");
  // ...while text going out as ANSI uses the document's code page.
  EXPECT_EQ(Hex(ReadA(u8.doc, 0, 3)), "3F");

  // An ANSI document in 1252 gets UTF-16 and UTF-8 text in 1252.
  IoDoc ansi(MIREL_ENCODING_ANSI);
  ASSERT_TRUE(ansi.Fill(""));
  ansi.doc.nCodePage = 1252;
  const std::basic_string<WCHAR> e = HostWide(u"\u00E9");
  ASSERT_EQ(ansi.doc.InsertW(e.data(), 1, FALSE), 1);
  ASSERT_EQ(ansi.doc.InsertU("\xC3\xA9", 2, FALSE), 1);
  EXPECT_EQ(Hex(ansi.Text()), "E9 E9");
  EXPECT_EQ(ReadW(ansi.doc, 0, 2), u"\u00E9\u00E9");
  // InsertA stores ANSI bytes as they come.
  ASSERT_EQ(ansi.doc.InsertA("\xC7\xD1", 2, FALSE), 1);
  EXPECT_EQ(Hex(ansi.Text()), "E9 E9 C7 D1");
}

TEST(TextIoNoText, EverythingAnswersZeroBeforeATextExists) {
  CMirelDoc doc;
  char buf[4] = {1, 2, 3, 4};
  EXPECT_EQ(doc.GetTextA(buf, 0, 4), 0);
  EXPECT_EQ(doc.GetTextU(nullptr, 0, 4), 0);
  EXPECT_EQ(doc.GetTextW(nullptr, 0, 4), 0);
  EXPECT_EQ(doc.InsertA("abc", 3, TRUE), 0);
  EXPECT_EQ(buf[0], 1);
  int nStart = -7;
  EXPECT_EQ(doc.GetParagraph(0, &nStart, nullptr), 0);
  EXPECT_EQ(nStart, -7);
}

}  // namespace
}  // namespace mirel_textio_test
