// Flags, option bits, margins, marks, the current tag, bookmark queries and
// the keyboard layout: what each setter stores, and what it refreshes before
// and after the first edit window is registered.
#include <windows.h>
#include <imm.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "registry_test_util.h"

using namespace mirel_registry_test;

namespace {

// A handle value that names no window: the document's calls on it fail
// harmlessly, and the view double records what the document asks.
HWND NoWindow() {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7EAD0100));
}

class SettingsWithView : public ::testing::Test {
 protected:
  void Register() {
    doc.RegisterEdit(&e.edit);
    log.clear();
  }
  void TearDown() override { e.edit.hWndEdit = nullptr; }
  CMirelDoc doc;
  CallLog log;
  TestEdit e{&doc, &log, "v", NoWindow()};
};

struct Flag {
  const char* name;
  void (CMirelDoc::*setter)(BOOL);
  BOOL CMirelDoc::*field;
  bool bRepaints;
};

const Flag kFlags[] = {
    {"AutoIndentation", &CMirelDoc::SetAutoIndentation, &CMirelDoc::bAutoIndentation, false},
    {"HomeToFirstCol", &CMirelDoc::SetHomeToFirstCol, &CMirelDoc::bHomeToFirstCol, false},
    {"SkipEmptyLine", &CMirelDoc::SetSkipEmptyLineOnBlockIndent, &CMirelDoc::bSkipEmptyLineOnBlockIndent,
     false},
    {"SyntaxIndentation", &CMirelDoc::SetSyntaxIndentation, &CMirelDoc::bSyntaxIndentation, false},
    {"TabToSpace", &CMirelDoc::SetTabToSpace, &CMirelDoc::bTabToSpace, false},
    {"WantTab", &CMirelDoc::WantTab, &CMirelDoc::bWantTab, false},
    {"ShowBreakCode", &CMirelDoc::ShowBreakCode, &CMirelDoc::bShowBreakCode, true},
    {"ShowWhiteSpaceCode", &CMirelDoc::ShowWhiteSpaceCode, &CMirelDoc::bShowWhiteSpaceCode, true},
};

TEST_F(SettingsWithView, FlagsAreStoredAndOnlyTheMarkFlagsRepaint) {
  for (const Flag& f : kFlags) {
    CMirelDoc before;
    (before.*f.setter)(!(before.*f.field));
    (doc.*f.setter)(!(doc.*f.field));  // no window yet: the field only
    EXPECT_EQ(doc.*f.field, before.*f.field) << f.name;
  }
  EXPECT_TRUE(log.empty());

  Register();
  for (const Flag& f : kFlags) {
    log.clear();
    (doc.*f.setter)(TRUE);
    EXPECT_EQ(doc.*f.field, TRUE) << f.name;
    (doc.*f.setter)(FALSE);
    EXPECT_EQ(doc.*f.field, FALSE) << f.name;
    const CallLog expected = f.bRepaints ? CallLog{"v.invalidate(2,0,0)", "v.invalidate(2,0,0)"} : CallLog{};
    EXPECT_EQ(log, expected) << f.name;
  }
}

TEST_F(SettingsWithView, ActiveLineTypeRepaints) {
  Register();
  doc.SetActiveLineType(3);
  EXPECT_EQ(doc.nActiveLineType, 3);
  EXPECT_EQ(log, (CallLog{"v.invalidate(2,0,0)"}));
}

TEST_F(SettingsWithView, TurningMatchingBracesOffForgetsBothBracesWithoutRepaint) {
  Register();
  doc.nBracePos[0] = 12;
  doc.nBracePos[1] = 40;
  doc.SetShowMatchingBrace(TRUE);
  EXPECT_EQ(doc.nBracePos[0], 12);
  doc.SetShowMatchingBrace(FALSE);
  EXPECT_FALSE(doc.bShowMatchingBrace);
  EXPECT_EQ(doc.nBracePos[0], 0);
  EXPECT_EQ(doc.nBracePos[1], 0);
  doc.SetShowMatchingBrace(TRUE);
  EXPECT_EQ(doc.nBracePos[0], 0);
  EXPECT_TRUE(log.empty());
}

struct OptionBit {
  const char* name;
  void (CMirelDoc::*setter)(BOOL);
  BOOL (CMirelDoc::*getter)() const;
  BYTE nBit;
};

const OptionBit kOptionBits[] = {
    {"DblClkWordSelect", &CMirelDoc::SetDblClkWordSelect, &CMirelDoc::IsDblClkWordSelect,
     MIREL_OPT_DBLCLK_WORD_SELECT},
    {"Overwrite", &CMirelDoc::SetOverwriteMode, &CMirelDoc::IsOverwriteMode, MIREL_OPT_OVERWRITE},
    {"Binary", &CMirelDoc::SetBinary, &CMirelDoc::IsBinary, MIREL_OPT_BINARY},
    {"DragPending", &CMirelDoc::SetDragPending, &CMirelDoc::IsDragPending, MIREL_OPT_DRAG_PENDING},
    {"LineNo", &CMirelDoc::SetLineNoFlag, &CMirelDoc::IsShowLineNo, MIREL_OPT_LINE_NO},
    {"Indicator", &CMirelDoc::SetIndicatorMarginFlag, &CMirelDoc::IsShowIndicatorMargin,
     MIREL_OPT_INDICATOR_MARGIN},
    {"Folder", &CMirelDoc::SetFolderMarginFlag, &CMirelDoc::IsShowFolderMargin, MIREL_OPT_FOLDER_MARGIN},
    {"InsertKey", &CMirelDoc::SetInsertKeyEnabled, &CMirelDoc::IsInsertKeyEnabled, MIREL_OPT_INSERT_TOGGLE},
};

TEST(SettingsOptions, EachOptionSetterChangesOnlyItsBit) {
  for (const OptionBit& o : kOptionBits) {
    for (BYTE nStart : {BYTE{0x00}, BYTE{0xFF}, MIREL_OPT_DEFAULT}) {
      CMirelDoc doc;
      doc.nOptions = nStart;
      (doc.*o.setter)(TRUE);
      EXPECT_EQ(doc.nOptions, nStart | o.nBit) << o.name;
      EXPECT_TRUE((doc.*o.getter)()) << o.name;
      (doc.*o.setter)(FALSE);
      EXPECT_EQ(doc.nOptions, nStart & ~o.nBit) << o.name;
      EXPECT_FALSE((doc.*o.getter)()) << o.name;
      // Any non-zero value turns a bit on.
      (doc.*o.setter)(7);
      EXPECT_TRUE((doc.*o.getter)()) << o.name;
    }
  }
}

TEST_F(SettingsWithView, OverwriteModeReshapesTheActiveCaretOnly) {
  Register();
  doc.SetOverwriteMode(TRUE);
  EXPECT_EQ(log, (CallLog{"v.caret(0,0)"}));
}

TEST_F(SettingsWithView, MarginSwitchesBeforeAnyWindowChangeOnlyTheBit) {
  doc.nLineNoWidth = 30;
  doc.nLeftMargin = 49;
  doc.SetLineNoFlag(FALSE);
  doc.EnableIndicatorMargin(FALSE);
  doc.EnableFolderMargin(TRUE);
  EXPECT_EQ(doc.nOptions, (MIREL_OPT_DEFAULT & ~(MIREL_OPT_LINE_NO | MIREL_OPT_INDICATOR_MARGIN)) |
                              MIREL_OPT_FOLDER_MARGIN);
  EXPECT_EQ(doc.nLineNoWidth, 30);
  EXPECT_EQ(doc.nLeftMargin, 49);
  EXPECT_TRUE(log.empty());

  // The first window computes the margin the bits ask for: folder margin and
  // the gap only.
  Register();
  EXPECT_EQ(doc.nLeftMargin, 14);
}

TEST_F(SettingsWithView, MarginSwitchesWithAWindowMoveTheTextAndRepaint) {
  Register();
  const int nWithLineNumbers = doc.nLeftMargin;
  ASSERT_GT(doc.nLineNoWidth, 0);

  // The text moves sideways: scroll bars and caret follow, then the repaint.
  doc.SetLineNoFlag(FALSE);
  EXPECT_EQ(doc.nLeftMargin, nWithLineNumbers - doc.nLineNoWidth);
  EXPECT_EQ(log, (CallLog{"v.scrollbars", "v.caret(0,0)", "v.invalidate(2,0,0)"}));

  log.clear();
  doc.EnableLineNo(TRUE);
  EXPECT_EQ(doc.nLeftMargin, nWithLineNumbers);
  EXPECT_EQ(log, (CallLog{"v.scrollbars", "v.caret(0,0)", "v.invalidate(2,0,0)", "v.caret(1,0)",
                          "v.invalidate(2,0,0)"}));

  // A switch that leaves the margin as it was only repaints.
  log.clear();
  doc.SetLineNoFlag(TRUE);
  EXPECT_EQ(log, (CallLog{"v.invalidate(2,0,0)"}));

  log.clear();
  doc.EnableFolderMargin(TRUE);
  EXPECT_EQ(doc.nLeftMargin, nWithLineNumbers + 10);
  doc.SetIndicatorMarginFlag(FALSE);
  EXPECT_EQ(doc.nLeftMargin, nWithLineNumbers + 10 - 15);
}

TEST_F(SettingsWithView, LeavingStickySelectionCollapsesTheSelectionAtTheCaret) {
  ASSERT_EQ(doc.NewFile(), 1);
  const std::string text = "first line\r\nsecond line";
  ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(text), mirel_doc_test::Len(text), FALSE));
  Register();
  doc.SetAutoSelect(TRUE);
  EXPECT_TRUE(doc.IsAutoSelectMode());
  doc.block.Reset(2, 0, FALSE);
  doc.block.SetCaret(15, 1);
  doc.nCaretPos = 15;
  doc.cli = 1;
  EXPECT_TRUE(log.empty());

  doc.SetAutoSelect(FALSE);
  EXPECT_FALSE(doc.IsAutoSelectMode());
  EXPECT_EQ(doc.block.nAnchor, 15u);
  EXPECT_EQ(doc.block.nCaret, 15u);
  EXPECT_EQ(doc.block.nAnchorLine, 1);
  EXPECT_EQ(doc.block.nCaretLine, 1);
  EXPECT_EQ(doc.block.nAnchorX, doc.block.nCaretX);
  // The window has no focus here, so only the repaint is seen.
  EXPECT_EQ(log, (CallLog{"v.invalidate(2,0,0)"}));
}

TEST(SettingsMarks, EachMarkQueryReadsItsOwnBit) {
  CMirelDoc doc;
  EXPECT_TRUE(doc.IsSimpleSpace() && doc.IsSimpleTab() && doc.IsSimpleEnter() && doc.IsSimpleEOF());
  doc.nSimpleMarks = MIREL_MARK_SIMPLE_TAB | MIREL_MARK_SIMPLE_EOF;
  EXPECT_FALSE(doc.IsSimpleSpace());
  EXPECT_TRUE(doc.IsSimpleTab());
  EXPECT_FALSE(doc.IsSimpleEnter());
  EXPECT_TRUE(doc.IsSimpleEOF());
}

TEST(SettingsCurrentTag, IsClampedToTheLastParagraphAndCanBeCleared) {
  CMirelDoc doc;
  doc.SetCurrentTag(3);  // no text yet: nothing to mark
  EXPECT_EQ(doc.pCurrentTag, nullptr);
  EXPECT_EQ(doc.nCurrentTagPara, 0);

  ASSERT_EQ(doc.NewFile(), 1);
  const std::string text = "a\r\nb\r\nc";
  ASSERT_TRUE(doc.InsertContents(0, mirel_doc_test::Bytes(text), mirel_doc_test::Len(text), FALSE));
  doc.SetCurrentTag(1);
  EXPECT_EQ(doc.nCurrentTagPara, 1);
  EXPECT_NE(doc.pCurrentTag, nullptr);
  doc.SetCurrentTag(99);
  EXPECT_EQ(doc.nCurrentTagPara, 2);
  doc.SetCurrentTag(0xFFFFFFFFu);  // a negative paragraph from the host
  EXPECT_EQ(doc.nCurrentTagPara, 2);

  doc.ResetCurrentTag();
  EXPECT_EQ(doc.pCurrentTag, nullptr);
  EXPECT_EQ(doc.nCurrentTagPara, 0);
}

TEST(SettingsBookmarks, QueriesAnswerFromTheSlots) {
  CMirelDoc doc;
  EXPECT_FALSE(doc.IsExistBookmark());
  EXPECT_FALSE(doc.IsExistNamedBookmark("3"));
  CMrBookmark found(5, 77);
  doc.GetBookmarkAtLine(4, &found);
  EXPECT_EQ(found.chKind, MIREL_BOOKMARK_FREE);
  EXPECT_EQ(found.nPara, 0);

  mirel_doc_test::MakeBookmarkSlots(doc);
  doc.pBookmark[3] = CMrBookmark(3, 8);
  EXPECT_FALSE(doc.IsExistBookmark());  // named bookmarks are not counted
  EXPECT_TRUE(doc.IsExistNamedBookmark("3"));
  EXPECT_FALSE(doc.IsExistNamedBookmark("4"));
  // Not a slot of a named bookmark: never read outside the ten.
  EXPECT_FALSE(doc.IsExistNamedBookmark("13"));
  EXPECT_FALSE(doc.IsExistNamedBookmark("-1"));
  EXPECT_FALSE(doc.IsExistNamedBookmark("x"));
  EXPECT_FALSE(doc.IsExistNamedBookmark(""));
  EXPECT_FALSE(doc.IsExistNamedBookmark(nullptr));

  mirel_doc_test::AddOrdinaryBookmark(doc, 4);
  EXPECT_TRUE(doc.IsExistBookmark());
  doc.GetBookmarkAtLine(8, &found);
  EXPECT_EQ(found.chKind, 3);
  EXPECT_EQ(found.nPara, 8);
  doc.GetBookmarkAtLine(4, &found);
  EXPECT_EQ(found.chKind, MIREL_BOOKMARK_ORDINARY);
  doc.GetBookmarkAtLine(5, &found);
  EXPECT_EQ(found.chKind, MIREL_BOOKMARK_FREE);
  doc.GetBookmarkAtLine(4, nullptr);
}

TEST(SettingsKeyboardLayout, TheLanguageOfTheLayoutSelectsTheInputMethodLanguage) {
  struct Case {
    ULONG_PTR layout;
    BYTE nLanguage;
  };
  const Case cases[] = {{0x04040404, 1}, {0x04110411, 2}, {0x04120412, 3}, {0x08040804, 4},
                        {0x04090409, 0}, {0xE0010412, 3}, {0x00000411, 2}};
  for (const Case& c : cases) {
    CMirelDoc doc;
    doc.SetKeyboardLayout(reinterpret_cast<HKL>(c.layout));
    EXPECT_EQ(doc.nIMELanguage, c.nLanguage) << std::hex << c.layout;
  }
}

class SettingsKeyboardLayoutHooks : public ::testing::Test {
 protected:
  void TearDown() override {
#ifndef _WIN32
    MrwTestResetImm();
#endif
  }
};

TEST_F(SettingsKeyboardLayoutHooks, WithoutALayoutTheThreadsLayoutAndItsPropertiesAreTaken) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  const HKL hJapanese = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0xE0200411));
  MrwTestSetKeyboardLayout(hJapanese);
  MrwTestSetImeProperty(hJapanese, IGP_PROPERTY, IME_PROP_AT_CARET | IME_PROP_UNICODE);
  MrwTestSetImeProperty(hJapanese, IGP_UI, 0x55);
  CMirelDoc doc;
  doc.SetKeyboardLayout(nullptr);
  EXPECT_EQ(doc.nIMELanguage, 2);
  EXPECT_EQ(doc.nIMEProperty, static_cast<DWORD>(IME_PROP_AT_CARET | IME_PROP_UNICODE));

  // A layout without an input method has no properties.
  doc.SetKeyboardLayout(reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04090409)));
  EXPECT_EQ(doc.nIMELanguage, 0);
  EXPECT_EQ(doc.nIMEProperty, 0u);
#endif
}

TEST(SettingsKeyboardLayout, WithoutALayoutTheThreadsLayoutDecides) {
  CMirelDoc doc;
  doc.nIMELanguage = 0xEE;
  doc.SetKeyboardLayout(nullptr);
  CMirelDoc expected;
  expected.SetKeyboardLayout(GetKeyboardLayout(0));
  EXPECT_EQ(doc.nIMELanguage, expected.nIMELanguage);
  EXPECT_LE(doc.nIMELanguage, 4);
  EXPECT_EQ(doc.nIMEProperty, expected.nIMEProperty);
}

}  // namespace
