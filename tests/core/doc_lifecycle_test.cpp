// The document record: defaults after construction, starting a new text,
// resetting, the gateways' width pre-step, the file-buffer query, the
// modified state with the undo save point, and the growth of the line table.
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform_hooks.h"
#endif
#include "doc_test_util.h"
#include "test_support.h"
#include "mirel/ccontentshandler.h"
#include "mirel/cmireldoc.h"

using namespace mirel_doc_test;

namespace {

TEST(DocDefaults, NewDocumentHasDocumentedSettings) {
  CMirelDoc doc;
  EXPECT_EQ(doc.nViewType, MIREL_VIEW_TYPE_TEXT);
  EXPECT_EQ(doc.nFileEncoding, MIREL_ENCODING_ANSI);
  EXPECT_EQ(doc.nFileFormat, MIREL_FILE_FORMAT_CRLF);
  EXPECT_EQ(doc.nLoadedFileFormat, MIREL_FILE_FORMAT_CRLF);
  EXPECT_EQ(doc.nTabSize, 4);
  EXPECT_EQ(doc.nLineSpacing, 120);
  EXPECT_EQ(doc.nHexBytesPerLine, 16);
  EXPECT_EQ(doc.nOptions, 0xB1);
  EXPECT_EQ(doc.nSimpleMarks, 0xFF);
  EXPECT_EQ(doc.nSysColors, 0x1F);
  EXPECT_EQ(doc.nWrapMode, MIREL_WRAP_NONE);
  EXPECT_EQ(doc.nHexCaretArea, 1);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_FALSE(doc.IsReadOnly());
  EXPECT_TRUE(doc.bAutoIndentation);
  EXPECT_TRUE(doc.bShowMatchingBrace);
  EXPECT_TRUE(doc.bSkipEmptyLineOnBlockIndent);
  EXPECT_TRUE(doc.bSyntaxIndentation);
  EXPECT_TRUE(doc.bWantTab);
  EXPECT_FALSE(doc.bTabToSpace);
  EXPECT_TRUE(doc.IsShowLineNo());
  EXPECT_EQ(doc.nEditAlloc, 4);
  ASSERT_NE(doc.ppEdits, nullptr);
  for (int i = 0; i < doc.nEditAlloc; ++i) EXPECT_EQ(doc.ppEdits[i], nullptr);
  EXPECT_EQ(doc.nEditCount, 0);
  EXPECT_EQ(doc.nAveCharWidth, 4);
  EXPECT_EQ(doc.nCharWidth[0], 6);
  for (int i = 1; i < 256; ++i) ASSERT_EQ(doc.nCharWidth[i], -1) << i;
  EXPECT_EQ(doc.pWideWidth, nullptr);
  EXPECT_EQ(doc.chPageBreak, 0);
  EXPECT_EQ(doc.pszDelimiters, nullptr);
  // Before NewFile there is no text store and no line table.
  EXPECT_EQ(doc.pContents, nullptr);
  EXPECT_EQ(doc.pLines, nullptr);
  EXPECT_EQ(doc.nLineCount, 0);
  EXPECT_EQ(doc.pSyntax, nullptr);
  EXPECT_EQ(doc.block.pdoc, &doc);
  EXPECT_EQ(doc.anchorBlock.pdoc, &doc);
}

TEST(DocDefaults, ColoursFollowTheSystemWhereDocumented) {
  CMirelDoc doc;
  EXPECT_EQ(doc.crBack, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(doc.crFore, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(doc.crLineNo, GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(doc.crSelFore, GetSysColor(COLOR_HIGHLIGHTTEXT));
  EXPECT_EQ(doc.crSelBack, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(doc.crActiveLineBack, 0xFFFFC0u);
  EXPECT_EQ(doc.crBookmark, 0xFFFF00u);
  EXPECT_EQ(doc.crMatchingBraceBack, 0xAAD5FFu);
  EXPECT_EQ(doc.crCurrentTag, 0x840000u);
  EXPECT_EQ(doc.crCode, 0x99A8ACu);
  EXPECT_EQ(doc.crFindHighlightBack, 0xD568D5u);
}

TEST(DocLifecycle, NewFileMakesAnEmptyTextWithOneLastRow) {
  CMirelDoc doc;
  ASSERT_EQ(doc.NewFile(), 1);
  ASSERT_NE(doc.pContents, nullptr);
  EXPECT_EQ(doc.GetContentsSize(), 0u);
  ASSERT_EQ(doc.nLineCount, 1);
  EXPECT_EQ(RowsOf(doc)[0], (Row{0, 0, 0, 0, MIREL_LINE_LAST}));
  EXPECT_GE(doc.nLineAlloc, 2);
  EXPECT_TRUE(SpareRecordsZero(doc));
}

// NewFile and Reset on a filled document: the text, its history, bookmarks,
// tag, caret and selection all go.
TEST(DocLifecycle, NewFileAndResetOnAFilledDocumentStartClean) {
  const struct Case {
    const char* name;
    std::function<bool(CMirelDoc&)> clear;
    bool bChecksModified;  // a new file starts unmodified
  } kCases[] = {
      {"NewFile", [](CMirelDoc& doc) { return doc.NewFile() == 1; }, true},
      {"Reset", [](CMirelDoc& doc) { return doc.Reset() != FALSE; }, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    CMirelDoc doc;
    ASSERT_EQ(doc.NewFile(), 1);
    const std::string text = "one\r\ntwo\r\nthree";
    ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), TRUE));
    MakeBookmarkSlots(doc);
    doc.pBookmark[3] = CMrBookmark(3, 1);
    AddOrdinaryBookmark(doc, 2);
    doc.pCurrentTag = &doc;
    doc.nCurrentTagPara = 1;
    doc.nCaretPos = 7;
    doc.cli = 1;
    doc.block.nAnchor = 2;
    doc.block.nCaret = 9;
    ASSERT_TRUE(doc.undo.CanUndo());

    ASSERT_TRUE(c.clear(doc));
    EXPECT_EQ(doc.GetContentsSize(), 0u);
    ASSERT_EQ(doc.nLineCount, 1);
    EXPECT_EQ(RowsOf(doc)[0], (Row{0, 0, 0, 0, MIREL_LINE_LAST}));
    EXPECT_TRUE(SpareRecordsZero(doc));
    EXPECT_EQ(doc.nCaretPos, 0);
    EXPECT_EQ(doc.cli, 0);
    EXPECT_FALSE(doc.block.HasSelection());
    EXPECT_FALSE(doc.undo.CanUndo());
    for (int i = 0; i < doc.nBookmarkAlloc; ++i) EXPECT_TRUE(doc.pBookmark[i].IsFree()) << i;
    EXPECT_EQ(doc.nBookmarkCount, 0);
    EXPECT_EQ(doc.pCurrentTag, nullptr);
    EXPECT_EQ(doc.nCurrentTagPara, 0);
    if (c.bChecksModified) {
      EXPECT_FALSE(doc.IsModified());
    }
  }
}

TEST(DocLifecycle, ResetInTheHexViewKeepsTheByteOrderMark) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF8_BOM);
  const std::string text = "abc\ndef";
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  doc.nViewType = MIREL_VIEW_TYPE_HEX;
  ASSERT_TRUE(doc.Reset());
  EXPECT_EQ(FileOf(doc), "\xEF\xBB\xBF");
  EXPECT_EQ(doc.pContents->GetBomLength(), 3);
  EXPECT_EQ(doc.nLineCount, 1);
}

TEST(DocGateways, TextViewWidensTheTextWidthBeforeAnEdit) {
  CMirelDoc doc;
  ASSERT_EQ(doc.NewFile(), 1);
  doc.nLeftMargin = 40;
  doc.nTextWidth = 45;
  ASSERT_TRUE(doc.InsertContents(0, Bytes("x"), 1, FALSE));
  EXPECT_EQ(doc.nTextWidth, 50);
  doc.nTextWidth = 300;
  ASSERT_TRUE(doc.InsertContents(0, Bytes("y"), 1, FALSE));
  EXPECT_EQ(doc.nTextWidth, 300);
}

TEST(DocGateways, RefuseWithoutATextStore) {
  CMirelDoc doc;
  EXPECT_FALSE(doc.InsertContents(0, Bytes("x"), 1, FALSE));
  EXPECT_FALSE(doc.DeleteContents(0, 1, FALSE));
  EXPECT_FALSE(doc.ReplaceContents(0, 1, FALSE, Bytes("x"), 1, FALSE));
  EXPECT_FALSE(doc.ReloadContents());
  EXPECT_EQ(doc.GetFileBuffer(nullptr, 0, 10), 0u);
}

TEST(DocContents, FileBufferQueriesClipAndCountTheMark) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF16LE);
  const std::string text = Utf16("hi");
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  EXPECT_EQ(doc.GetContentsSize(), 4u);
  EXPECT_EQ(doc.GetFileSize(), 6u);
  EXPECT_EQ(doc.GetFileBuffer(nullptr, 0, 100), 6u);
  EXPECT_EQ(doc.GetFileBuffer(nullptr, 6, 100), 0u);
  EXPECT_EQ(doc.GetFileBuffer(nullptr, 4, 2), 0u);  // reversed range
  BYTE buf[8] = {0};
  ASSERT_EQ(doc.GetFileBuffer(buf, 1, 4), 3u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 3), std::string("\xFE"
                                                                      "h\0",
                                                                      3));
}

TEST(DocModified, SetModifiedMovesTheSavePointEvenWithoutAChange) {
  CMirelDoc doc;
  ASSERT_EQ(doc.NewFile(), 1);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("ab "), 3, TRUE));
  EXPECT_TRUE(doc.IsModified());
  doc.SetModified(FALSE);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.undo.nSavePoint, doc.undo.cr);
  ASSERT_TRUE(doc.InsertContents(3, Bytes("cd "), 3, TRUE));
  const LONG crBefore = doc.undo.cr;
  doc.bModified = FALSE;  // as after a save
  doc.SetModified(FALSE);
  EXPECT_EQ(doc.undo.nSavePoint, doc.undo.cr);
  EXPECT_GE(doc.undo.cr, crBefore);
}

TEST(DocModified, UndoBackToTheSavePointClearsTheFlag) {
  CMirelDoc doc;
  ASSERT_EQ(doc.NewFile(), 1);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("saved "), 6, TRUE));
  doc.SetModified(FALSE);
  ASSERT_TRUE(doc.InsertContents(6, Bytes("more"), 4, TRUE));
  EXPECT_TRUE(doc.IsModified());
  // Undo the last record as the replay does: mark it undone, step back.
  doc.undo.SeparateUndo();
  doc.undo.cr -= 1;
  doc.undo.pUR[doc.undo.cr].bUndone = 1;
  doc.UpdateModifiedAfterUndo();
  EXPECT_FALSE(doc.IsModified());
  // Redo past it again.
  doc.undo.pUR[doc.undo.cr].bUndone = 0;
  doc.undo.cr += 1;
  doc.UpdateModifiedAfterUndo();
  EXPECT_TRUE(doc.IsModified());
}

TEST(DocReadOnly, FlagIsStoredOnly) {
  CMirelDoc doc;
  ASSERT_EQ(doc.NewFile(), 1);
  doc.SetReadOnly(TRUE);
  EXPECT_TRUE(doc.IsReadOnly());
  // The host's own calls are not refused by the flag.
  EXPECT_TRUE(doc.InsertContents(0, Bytes("x"), 1, FALSE));
  doc.SetReadOnly(FALSE);
  EXPECT_FALSE(doc.IsReadOnly());
}

TEST(DocLines, GrowLinesMakesEvenCapacitiesAndKeepsRows) {
  CMirelDoc doc;
  ASSERT_TRUE(doc.GrowLines(1));
  EXPECT_EQ(doc.nLineAlloc, 2);
  EXPECT_EQ(doc.nLineCount, 1);
  EXPECT_EQ(doc.pLines[0].nKind, MIREL_LINE_LAST);
  doc.pLines[0].nLen = 7;
  ASSERT_TRUE(doc.GrowLines(5));
  EXPECT_EQ(doc.nLineAlloc, 8);  // (2 + 5 + 2) rounded down to even
  EXPECT_EQ(doc.pLines[0].nLen, 7);
  EXPECT_TRUE(SpareRecordsZero(doc));

  CMirelDoc big;
  ASSERT_TRUE(big.GrowLines(7));
  EXPECT_EQ(big.nLineAlloc, 8);
}

TEST(DocLines, GrowLinesRefusesSizesThatWouldWrap) {
  CMirelDoc doc;
  ASSERT_TRUE(doc.GrowLines(2));
  const int nAlloc = doc.nLineAlloc;
  EXPECT_FALSE(doc.GrowLines(INT_MAX - 1));
  EXPECT_EQ(doc.nLineAlloc, nAlloc);
  EXPECT_EQ(doc.nLineCount, 1);
}

TEST(DocFault, ReportShowsTheFaultMessage) {
  // A real message box would wait for a person.
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  MrwTestResetMessageBoxes();
  MrwTestScriptMessageBox(IDCANCEL);
  CMirelDoc doc;
  EXPECT_EQ(doc.ReportFault(), IDCANCEL);
  ASSERT_EQ(MrwTestMessageBoxCount(), 1);
  EXPECT_STREQ(MrwTestLastMessageBoxCaption(), "Edit routine fault");
  EXPECT_EQ(MrwTestLastMessageBoxFlags(), static_cast<UINT>(MB_ICONERROR));
  const std::string text = MrwTestLastMessageBoxText();
  EXPECT_EQ(text.rfind("Edit engin has encountered a problem.\nPlease close and restart editing job.\n", 0),
            0u);
  EXPECT_NE(text.find(".kvf"), std::string::npos);
  MrwTestResetMessageBoxes();
#endif
}

TEST(DocDelimiters, DefaultSetAndHostSetInEveryEncoding) {
  CMirelDoc doc;
  EXPECT_TRUE(doc.IsWordDelimiter(Bytes(" ")));
  EXPECT_TRUE(doc.IsWordDelimiter(Bytes("(")));
  EXPECT_TRUE(doc.IsWordDelimiter(Bytes(std::string(1, '\0'))));
  EXPECT_FALSE(doc.IsWordDelimiter(Bytes("a")));
  doc.nFileEncoding = MIREL_ENCODING_UTF16LE;
  EXPECT_TRUE(doc.IsWordDelimiter(Bytes(Utf16({0x0020}))));
  // A unit whose low byte is a blank is not a blank.
  EXPECT_FALSE(doc.IsWordDelimiter(Bytes(Utf16({0x4E20}))));
  EXPECT_FALSE(doc.IsWordDelimiter(Bytes(Utf16({0xAC09}))));
  char szSet[] = "_";
  doc.pszDelimiters = szSet;
  EXPECT_TRUE(doc.IsWordDelimiter(Bytes(Utf16({'_'}))));
  EXPECT_FALSE(doc.IsWordDelimiter(Bytes(Utf16({' '}))));
  doc.pszDelimiters = nullptr;
}

}  // namespace

namespace {

TEST(DocContents, ParagraphBlankTestsWholeUnits) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF16LE);
  const std::string text = Utf16({' ', '\t', 0, '\n', ' ', 0x4E20, '\n', 0x0920, '\n'});
  ASSERT_TRUE(doc.InsertContents(0, Bytes(text), Len(text), FALSE));
  EXPECT_TRUE(doc.IsParagraphBlank(0));
  EXPECT_FALSE(doc.IsParagraphBlank(1));  // U+4E20 is not a blank
  EXPECT_FALSE(doc.IsParagraphBlank(2));  // nor U+0920
  EXPECT_TRUE(doc.IsParagraphBlank(3));   // the empty last paragraph
  EXPECT_FALSE(doc.IsParagraphBlank(9));  // no such paragraph
  EXPECT_EQ(doc.GetCharLengthAt(0), 2u);
  EXPECT_EQ(doc.GetCharLengthAt(static_cast<DWORD>(text.size())), 0u);
  doc.nViewType = MIREL_VIEW_TYPE_HEX;
  EXPECT_EQ(doc.GetCharLengthAt(0), 1u);
}

TEST(DocContents, WriteFileWritesTheMarkAndTheText) {
  CMirelDoc doc;
  OpenEmpty(doc, MIREL_ENCODING_UTF8_BOM);
  ASSERT_TRUE(doc.InsertContents(0, Bytes("x\r\ny"), 4, FALSE));
  FILE* pFile = std::tmpfile();
  ASSERT_NE(pFile, nullptr);
  EXPECT_TRUE(doc.WriteFile(pFile));
  std::rewind(pFile);
  char buf[16] = {0};
  const size_t n = std::fread(buf, 1, sizeof(buf), pFile);
  std::fclose(pFile);
  EXPECT_EQ(std::string(buf, n), "\xEF\xBB\xBFx\r\ny");
  EXPECT_FALSE(doc.WriteFile(nullptr));
}

}  // namespace
