// The syntax object: paragraph records and their growth, the lazy parse
// drivers, invalidation, the plain kind and the style tables.
#include <cstring>
#include <string>
#include <vector>

#include "mirel/syntax/cmrsyntaxnone.h"
#include "syntax_test_util.h"

namespace {

using mirel_syntax_test::BasicDefinition;
using mirel_syntax_test::Runs;
using mirel_syntax_test::SyntaxDocTest;

// nCount paragraphs "int", with "/*" as paragraph nOpen (-1: none).
std::string Paragraphs(int nCount, int nOpen = -1) {
  std::string text;
  for (int i = 0; i < nCount; ++i) {
    if (i > 0) text += "\n";
    text += i == nOpen ? "/*" : "int";
  }
  return text;
}

class SyntaxRecordsTest : public SyntaxDocTest {
 protected:
  void SetUp() override {
    Open(MIREL_ENCODING_ANSI);
    pSyntax = MakeGeneral(BasicDefinition());
  }
  bool Parsed(int nPara) {
    MIREL_PARA_INFO* p = pSyntax->GetParaInfo(nPara);
    return p != nullptr && p->bParsed == 1;
  }
  CMrSyntaxGeneral* pSyntax = nullptr;
};

TEST_F(SyntaxRecordsTest, NewObjectHoldsOneStepOfUnparsedRecords) {
  EXPECT_EQ(pSyntax->GetParaInfoCapacity(), 128u);
  for (int i = 0; i < 128; ++i) ASSERT_FALSE(Parsed(i));
  EXPECT_EQ(pSyntax->GetParaInfo(128), nullptr);
  EXPECT_EQ(pSyntax->GetParaInfo(-1), nullptr);
}

TEST_F(SyntaxRecordsTest, ParsingPastCapacityGrowsRecordsInSteps) {
  SetBytes(Paragraphs(300));
  // Lexing one paragraph past the records (as printing does) grows them.
  pSyntax->ParseParagraph(&doc, 0, nullptr);
  EXPECT_EQ(pSyntax->ParseParagraph(&doc, 200, nullptr), 200);
  EXPECT_EQ(pSyntax->GetParaInfoCapacity(), 256u);
  EXPECT_TRUE(Parsed(200));
  pSyntax->ParseUpTo(&doc, 299);
  EXPECT_EQ(pSyntax->GetParaInfoCapacity(), 384u);
  EXPECT_EQ(RunsOf(*pSyntax, 299), (Runs{{0, 11}, {3, 0}}));
  EXPECT_EQ(pSyntax->GetParaInfo(384), nullptr);
}

TEST_F(SyntaxRecordsTest, LinesOutsideTheTableAreRefused) {
  SetBytes(Paragraphs(3));
  EXPECT_EQ(pSyntax->ParseParagraph(&doc, -1, nullptr), -1);
  EXPECT_EQ(pSyntax->ParseParagraph(&doc, 3, nullptr), -1);
  pSyntax->ParseUpTo(&doc, 1000);  // clamped to the last line
  EXPECT_TRUE(Parsed(2));
  pSyntax->ParseUpTo(nullptr, 0);
  EXPECT_EQ(pSyntax->ParseAll(nullptr, nullptr), 0);
}

TEST_F(SyntaxRecordsTest, UnknownStartStateCountsAsText) {
  SetBytes(Paragraphs(2, 0));
  pSyntax->ParseUpTo(&doc, 0);
  ASSERT_EQ(EndStateOf(*pSyntax, 0), 6);
  pSyntax->GetParaInfo(0)->nEndState = 77;
  pSyntax->ParseUpTo(&doc, 1);
  EXPECT_EQ(RunsOf(*pSyntax, 1), (Runs{{0, 11}, {3, 0}}));
}

TEST_F(SyntaxRecordsTest, PaintingFarDownLexesTheGapInOrder) {
  SetBytes(Paragraphs(60, 9));
  pSyntax->ParseUpTo(&doc, 9);
  for (int i = 0; i <= 9; ++i) ASSERT_TRUE(Parsed(i)) << i;
  EXPECT_FALSE(Parsed(10));
  pSyntax->ParseUpTo(&doc, 50);
  for (int i = 10; i <= 50; ++i) {
    ASSERT_TRUE(Parsed(i)) << i;
    // Each paragraph starts in the block comment the one before ended in.
    ASSERT_EQ(RunsOf(*pSyntax, i), (Runs{{0, 5}, {3, 0}})) << i;
  }
  EXPECT_FALSE(Parsed(51));
}

TEST_F(SyntaxRecordsTest, ParsedParagraphsAreNotLexedAgain) {
  SetBytes(Paragraphs(20));
  pSyntax->ParseUpTo(&doc, 19);
  // A marker in paragraph 2's runs survives painting up to line 3.
  pSyntax->GetParaInfo(2)->pRuns[0].nStyle = 99;
  pSyntax->ParseUpTo(&doc, 3);
  EXPECT_EQ(pSyntax->GetParaInfo(2)->pRuns[0].nStyle, 99);
}

TEST_F(SyntaxRecordsTest, EditInvalidatesFromTheChangedParagraph) {
  SetBytes(Paragraphs(20));
  CMrSyntax* pOwn = doc.pSyntax;
  doc.pSyntax = pSyntax;  // the text store tells the installed object
  pSyntax->ParseAll(&doc, nullptr);
  pSyntax->GetParaInfo(9)->pRuns[0].nStyle = 99;
  const DWORD nPos = doc.pLines[10].nStart;
  ASSERT_TRUE(doc.InsertContents(nPos, mirel_doc_test::Bytes("/*"), 2, FALSE));
  doc.pSyntax = pOwn;
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(Parsed(i)) << i;
  for (int i = 10; i < 20; ++i) EXPECT_FALSE(Parsed(i)) << i;
  pSyntax->ParseUpTo(&doc, 12);
  EXPECT_EQ(pSyntax->GetParaInfo(9)->pRuns[0].nStyle, 99);
  EXPECT_EQ(RunsOf(*pSyntax, 10), (Runs{{0, 5}, {5, 0}}));
  EXPECT_EQ(RunsOf(*pSyntax, 12), (Runs{{0, 5}, {3, 0}}));
}

TEST_F(SyntaxRecordsTest, InvalidationStopsAtFirstUnparsedRecord) {
  SetBytes(Paragraphs(20));
  pSyntax->ParseUpTo(&doc, 19);
  pSyntax->GetParaInfo(15)->bParsed = 0;
  pSyntax->InvalidateFrom(5);
  for (int i = 5; i < 15; ++i) EXPECT_FALSE(Parsed(i)) << i;
  EXPECT_TRUE(Parsed(16));
  EXPECT_TRUE(Parsed(4));
  pSyntax->InvalidateFrom(-3);
  EXPECT_FALSE(Parsed(0));
  pSyntax->InvalidateFrom(1 << 30);  // past the records: nothing to do
}

TEST_F(SyntaxRecordsTest, InvalidateAllKeepsRunsButClearsStarts) {
  SetBytes(Paragraphs(3));
  pSyntax->ParseUpTo(&doc, 2);
  pSyntax->InvalidateAll();
  MIREL_PARA_INFO* p = pSyntax->GetParaInfo(2);
  EXPECT_EQ(p->bParsed, 0);
  EXPECT_EQ(p->nStart, 0u);
  EXPECT_NE(p->pRuns, nullptr);
}

TEST_F(SyntaxRecordsTest, LongRunListsGrow) {
  SetBytes("int x int x int x int x int x");
  pSyntax->ParseUpTo(&doc, 0);
  EXPECT_EQ(RunsOf(*pSyntax, 0), (Runs{{0, 11},
                                       {3, 1},
                                       {6, 11},
                                       {9, 1},
                                       {12, 11},
                                       {15, 1},
                                       {18, 11},
                                       {21, 1},
                                       {24, 11},
                                       {27, 1},
                                       {29, 0}}));
  EXPECT_EQ(pSyntax->GetParaInfo(0)->nRunAlloc, 12u);
}

TEST_F(SyntaxRecordsTest, WrappedParagraphIsLexedWhole) {
  doc.nWrapMode = MIREL_WRAP_CHAR;
  mirel_doc_test::SetFixedMetrics(doc, 10, 40, 35);
  SetBytes("int int int\nx");
  ASSERT_GT(doc.nLineCount, 3);
  ASSERT_NE(doc.pLines[1].nSubLine, 0u);
  // A row inside the paragraph names its paragraph and lexes nothing.
  EXPECT_EQ(pSyntax->ParseParagraph(&doc, 1, nullptr), 0);
  EXPECT_FALSE(Parsed(0));
  pSyntax->ParseUpTo(&doc, doc.nLineCount - 1);
  EXPECT_EQ(RunsOf(*pSyntax, 0), (Runs{{0, 11}, {3, 1}, {4, 11}, {7, 1}, {8, 11}, {11, 0}}));
  EXPECT_EQ(RunsOf(*pSyntax, 1), (Runs{{0, 1}, {1, 0}}));
  EXPECT_EQ(pSyntax->GetParaInfo(1)->nStart, 12u);
}

TEST_F(SyntaxRecordsTest, ParseAllWithAnotherLineTable) {
  SetBytes(Paragraphs(3, 1));
  // A table of its own, as printing lays out: the first two paragraphs only.
  std::vector<MIREL_LINE> rows(doc.pLines, doc.pLines + 2);
  const MIREL_LINE_TABLE table = {rows.data(), 2};
  EXPECT_EQ(pSyntax->ParseAll(&doc, &table), 2);
  EXPECT_EQ(RunsOf(*pSyntax, 1), (Runs{{0, 5}, {2, 0}}));
  EXPECT_FALSE(Parsed(2));
  EXPECT_EQ(pSyntax->ParseAll(&doc, nullptr), doc.nLineCount);
  EXPECT_EQ(RunsOf(*pSyntax, 2), (Runs{{0, 5}, {3, 0}}));
}

// The plain kind is the document's default and lexes nothing.
struct CountingNone : CMrSyntaxNone {
  CountingNone() : CMrSyntaxNone(0, TRUE) {}
  int ParseParagraph(CMirelDoc* pDoc, int nLine, const MIREL_LINE_TABLE* pAlt) override {
    ++nCalls;
    return CMrSyntaxNone::ParseParagraph(pDoc, nLine, pAlt);
  }
  int nCalls = 0;
};

TEST_F(SyntaxDocTest, NewFileMakesPlainKindAndKeepsAnInstalledOne) {
  Open(MIREL_ENCODING_ANSI);
  ASSERT_NE(doc.pSyntax, nullptr);
  EXPECT_EQ(doc.pSyntax->GetSyntaxType(), MIREL_SYNTAX_NONE);
  EXPECT_EQ(doc.pSyntax->GetSyntaxString(1), nullptr);  // no delimiter set
  MIREL_SYNTAX_INFO info = BasicDefinition();
  MIREL_SYNTAX_COLORS colors = mirel_syntax_test::AutoColors();
  ASSERT_EQ(doc.SetSyntaxGeneral(&info, &colors), 1);
  CMrSyntax* pInstalled = doc.pSyntax;
  ASSERT_EQ(doc.NewFile(), 1);
  EXPECT_EQ(doc.pSyntax, pInstalled);
}

TEST_F(SyntaxDocTest, PlainKindNeitherWalksLinesNorWritesRecords) {
  Open(MIREL_ENCODING_ANSI);
  SetBytes(Paragraphs(50));
  CountingNone none;
  none.ParseUpTo(&doc, 49);
  EXPECT_EQ(none.nCalls, 0);
  EXPECT_EQ(none.GetParaInfo(0), nullptr);
  EXPECT_EQ(none.ParseParagraph(&doc, 7, nullptr), 7);
}

TEST(SyntaxStylesTest, DefaultNamesAreKoreanInCodePage949) {
  CMrSyntaxGeneral syntax(0, TRUE);
  char name[32];
  auto nameOf = [&](int nStyle) {
    syntax.GetStyleName(nStyle, name, sizeof name);
    return std::string(name);
  };
  EXPECT_EQ(nameOf(1), "\xC0\xCF\xB9\xDD \xB1\xDB\xC0\xDA");  // "plain text"
  EXPECT_EQ(nameOf(2),
            "\xB9\xAE\xC0\xDA\xBF\xAD"
            "1");                            // "string 1"
  EXPECT_EQ(nameOf(4), "\xBC\xFD\xC0\xDA");  // "number"
  EXPECT_EQ(nameOf(6),
            "\xC1\xD6\xBC\xAE"
            "2");                                             // "comment 2"
  EXPECT_EQ(nameOf(9), "HTML \xC5\xC2\xB1\xD7");              // "HTML tag"
  EXPECT_EQ(nameOf(10), "\xBD\xBA\xC5\xA9\xB8\xB3\xC6\xAE");  // "script"
  EXPECT_EQ(nameOf(11), "");
  EXPECT_EQ(nameOf(19), "");
  syntax.GetStyleName(1, name, 3);  // cut to the buffer
  EXPECT_EQ(std::strlen(name), 2u);
}

TEST(SyntaxStylesTest, DefaultColoursAndOutOfRangeStyles) {
  CMrSyntaxGeneral syntax(0, TRUE);
  struct Want {
    int nStyle;
    COLORREF crFore, crBack;
  };
  const Want wants[] = {{0, MIREL_CLR_AUTO, MIREL_CLR_AUTO}, {1, MIREL_CLR_AUTO, MIREL_CLR_AUTO},
                        {3, 0x00FF00FF, MIREL_CLR_AUTO},     {5, 0x00008200, MIREL_CLR_AUTO},
                        {8, MIREL_CLR_AUTO, MIREL_CLR_AUTO}, {9, 0x00FF0000, MIREL_CLR_AUTO},
                        {10, 0x00000000, 0x0000FFFF},        {18, 0x00FF0000, MIREL_CLR_AUTO}};
  for (const Want& w : wants) {
    COLORREF f = 1, b = 1;
    syntax.GetStyleColor(w.nStyle, &f, &b);
    EXPECT_EQ(f, w.crFore) << w.nStyle;
    EXPECT_EQ(b, w.crBack) << w.nStyle;
  }
  syntax.SetStyleColor(0, 0x123456, 0x654321);
  for (int nStyle : {-1, 19, 20, 45, 1000}) {
    COLORREF f = 1, b = 1;
    syntax.GetStyleColor(nStyle, &f, &b);
    EXPECT_EQ(f, 0x123456u) << nStyle;
    EXPECT_EQ(b, 0x654321u) << nStyle;
  }
  syntax.SetStyleColor(19, 1, 1);  // outside the table: ignored
  MIREL_SYNTAX_STYLE defaults[MAX_SYNTAX_STYLE] = {};
  syntax.GetDefaultStyleColors(defaults);
  EXPECT_EQ(defaults[0].crFore, MIREL_CLR_AUTO);
}

TEST(SyntaxStylesTest, SyntaxStrings) {
  CMrSyntaxGeneral syntax(0, TRUE);
  EXPECT_STREQ(syntax.GetSyntaxString(1), MR_SYNTAX_DEFAULT_DELIMITERS);
  EXPECT_EQ(syntax.GetSyntaxString(0), nullptr);
  EXPECT_STREQ(syntax.GetSyntaxString(4), "");
  EXPECT_EQ(syntax.GetSyntaxString(2), nullptr);
  MIREL_SYNTAX_INFO info = BasicDefinition();
  info.pszIndent = "{";
  info.pszUnindent = "}";
  syntax.SetDefinition(info, mirel_syntax_test::AutoColors());
  EXPECT_STREQ(syntax.GetSyntaxString(2), "{");
  EXPECT_STREQ(syntax.GetSyntaxString(3), "}");
  EXPECT_STREQ(syntax.GetSyntaxString(1), " \t\r\n");
}

TEST(SyntaxStylesTest, FactoryMakesTheKnownKinds) {
  CMrSyntax* p = CreateSyntax(5, MIREL_SYNTAX_GENERAL, TRUE);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetOwner(), 5);
  EXPECT_EQ(p->GetSyntaxType(), MIREL_SYNTAX_GENERAL);
  DeleteSyntax(p);
  EXPECT_EQ(CreateSyntax(0, 1, TRUE), nullptr);
}

}  // namespace
