// How the sample host hands a file's bytes to the control, checked against
// the control's own encoding detection, and the names it shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_text_format.h"
#include "mirelctrl/mirelctrl.h"

namespace {

using mirel_host::CTextPlan;
using mirel_host::EInsertKind;
using mirel_host::PlanText;

using Bytes = std::string;

CTextPlan PlanDetected(const Bytes& bytes) {
  const int nEncoding = Mirel_DetermineEncoding(bytes.data(), static_cast<int>(bytes.size()));
  return PlanText(bytes.data(), bytes.size(), nEncoding);
}

// The bytes the control will store for the plan: its mark, then the text units.
std::size_t TextBytes(const CTextPlan& plan) {
  return static_cast<std::size_t>(plan.nUnits) * (plan.eKind == EInsertKind::Wide ? 2 : 1);
}

TEST(HostTextPlan, EachDetectedEncodingGoesInUnconvertedAfterItsMark) {
  struct Case {
    const char* pszName;
    Bytes bytes;
    int nDocEncoding;
    EInsertKind eKind;
    std::size_t nOffset;
    int nUnits;
  };
  const Case cases[] = {
      {"ascii", Bytes("int x;\r\n"), MIREL_ENCODING_ANSI, EInsertKind::Ansi, 0, 8},
      {"code page 949", Bytes("\xC7\xD1\xB1\xDB\n", 5), MIREL_ENCODING_ANSI, EInsertKind::Ansi, 0, 5},
      {"utf-8", Bytes("\xED\x95\x9C\n"), MIREL_ENCODING_UTF8, EInsertKind::Utf8, 0, 4},
      {"utf-8 bom", Bytes("\xEF\xBB\xBFint\n"), MIREL_ENCODING_UTF8_BOM, EInsertKind::Utf8, 3, 4},
      {"utf-16le", Bytes("\xFF\xFEh\0i\0", 6), MIREL_ENCODING_UTF16LE, EInsertKind::Wide, 2, 2},
      {"empty", Bytes(), MIREL_ENCODING_ANSI, EInsertKind::Ansi, 0, 0},
  };
  for (const Case& c : cases) {
    const CTextPlan plan = PlanDetected(c.bytes);
    ASSERT_TRUE(plan.bOk) << c.pszName;
    EXPECT_EQ(plan.nDocEncoding, c.nDocEncoding) << c.pszName;
    EXPECT_EQ(plan.eKind, c.eKind) << c.pszName;
    EXPECT_EQ(plan.nOffset, c.nOffset) << c.pszName;
    EXPECT_EQ(plan.nUnits, c.nUnits) << c.pszName;
    // Mark and text together are the whole file, so saving gives the same bytes.
    EXPECT_EQ(plan.nOffset + TextBytes(plan), c.bytes.size()) << c.pszName;
    EXPECT_FALSE(plan.bDroppedOddByte) << c.pszName;
  }
}

TEST(HostTextPlan, BigEndianMarkIsSkippedAndItsUnitsGoInAsLittleEndian) {
  // The detector never reports code 2, but a caller may name it: only its mark differs from code 3.
  const Bytes bytes("\xFE\xFFh\0i\0", 6);
  const CTextPlan plan = PlanText(bytes.data(), bytes.size(), MIREL_ENCODING_UTF16BE);
  ASSERT_TRUE(plan.bOk);
  EXPECT_EQ(plan.nDocEncoding, MIREL_ENCODING_UTF16BE);
  EXPECT_EQ(plan.eKind, EInsertKind::Wide);
  EXPECT_EQ(plan.nOffset, 2u);
  EXPECT_EQ(plan.nUnits, 2);
}

TEST(HostTextPlan, HalfAUtf16UnitAtTheEndIsReportedAndLeftOut) {
  const Bytes bytes("\xFF\xFEh\0i", 5);
  const CTextPlan plan = PlanText(bytes.data(), bytes.size(), MIREL_ENCODING_UTF16LE);
  ASSERT_TRUE(plan.bOk);
  EXPECT_EQ(plan.nUnits, 1);
  EXPECT_TRUE(plan.bDroppedOddByte);
}

TEST(HostTextPlan, AMarkIsSkippedOnlyWhenItIsReallyThere) {
  // A caller may name an encoding whose mark the bytes lack: no text byte is lost.
  const Bytes bytes("ab");
  for (int nEncoding : {MIREL_ENCODING_UTF8_BOM, MIREL_ENCODING_UTF16LE, MIREL_ENCODING_UTF16BE}) {
    const CTextPlan plan = PlanText(bytes.data(), bytes.size(), nEncoding);
    ASSERT_TRUE(plan.bOk);
    EXPECT_EQ(plan.nOffset, 0u) << nEncoding;
    EXPECT_EQ(TextBytes(plan), 2u) << nEncoding;
  }
  // Too short for the mark.
  const Bytes partial("\xEF\xBB");
  EXPECT_EQ(PlanText(partial.data(), partial.size(), MIREL_ENCODING_UTF8_BOM).nOffset, 0u);
}

TEST(HostTextPlan, BinaryAndUnknownContentsAreKeptAsAnsiBytes) {
  const Bytes bytes("\x01\x00\xFF", 3);
  for (int nEncoding : {MIREL_ENCODING_BINARY, MIREL_ENCODING_UNDEFINED, 77}) {
    const CTextPlan plan = PlanText(bytes.data(), bytes.size(), nEncoding);
    ASSERT_TRUE(plan.bOk);
    EXPECT_EQ(plan.nDocEncoding, MIREL_ENCODING_ANSI) << nEncoding;
    EXPECT_EQ(plan.eKind, EInsertKind::Ansi) << nEncoding;
    EXPECT_EQ(plan.nUnits, 3) << nEncoding;
  }
}

TEST(HostTextPlan, NoBytesGiveAnEmptyText) {
  const CTextPlan plan = PlanText(nullptr, 10, MIREL_ENCODING_UTF8_BOM);
  ASSERT_TRUE(plan.bOk);
  EXPECT_EQ(plan.nOffset, 0u);
  EXPECT_EQ(plan.nUnits, 0);
}

TEST(HostTextNames, TitleNamesFileEncodingNewlineAndChange) {
  EXPECT_EQ(mirel_host::WindowTitle("C:\\src\\wordcount.c", MIREL_ENCODING_UTF8, MIREL_FILE_FORMAT_LF, false),
            "wordcount.c - UTF-8, LF - Mirel sample host");
  EXPECT_EQ(mirel_host::WindowTitle("samples/a.txt", MIREL_ENCODING_UTF16LE, MIREL_FILE_FORMAT_CRLF, true),
            "*a.txt - UTF-16 LE, CR LF - Mirel sample host");
  EXPECT_EQ(mirel_host::EncodingName(MIREL_ENCODING_UTF8_BOM), "UTF-8 with BOM");
  EXPECT_EQ(mirel_host::EncodingName(MIREL_ENCODING_BINARY), "binary");
  EXPECT_EQ(mirel_host::EncodingName(9), "unknown (9)");
  EXPECT_EQ(mirel_host::NewlineName(MIREL_FILE_FORMAT_CR), "CR");
  EXPECT_EQ(mirel_host::NewlineName(0), "unknown (0)");
  EXPECT_EQ(mirel_host::FileNameOf("plain.c"), "plain.c");
  EXPECT_EQ(mirel_host::FileNameOf("dir/"), "");
}

}  // namespace
