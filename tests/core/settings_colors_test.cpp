// Colour settings: every setter stores its colour and repaints once windows
// exist; the five system-bound colours follow the system colour on
// MIREL_CLR_AUTO and stop following it on any other value; the selection
// colour put aside while a window has no focus comes back intact.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry_test_util.h"

using namespace mirel_registry_test;

namespace {

struct PlainColor {
  const char* name;
  void (CMirelDoc::*setter)(COLORREF);
  COLORREF CMirelDoc::*field;
};

const PlainColor kPlainColors[] = {
    {"ActiveLine", &CMirelDoc::SetActiveLineColor, &CMirelDoc::crActiveLine},
    {"ActiveLineBack", &CMirelDoc::SetActiveLineBackColor, &CMirelDoc::crActiveLineBack},
    {"Bookmark", &CMirelDoc::SetBookmarkColor, &CMirelDoc::crBookmark},
    {"BookmarkFore", &CMirelDoc::SetBookmarkForeColor, &CMirelDoc::crBookmarkFore},
    {"MatchingBraceFore", &CMirelDoc::SetMatchingBraceForeColor, &CMirelDoc::crMatchingBraceFore},
    {"MatchingBraceBack", &CMirelDoc::SetMatchingBraceBackColor, &CMirelDoc::crMatchingBraceBack},
    {"CurrentTag", &CMirelDoc::SetCurrentTagColor, &CMirelDoc::crCurrentTag},
    {"CurrentTagFore", &CMirelDoc::SetCurrentTagForeColor, &CMirelDoc::crCurrentTagFore},
    {"Code", &CMirelDoc::SetCodeColor, &CMirelDoc::crCode},
    {"FindHighlight", &CMirelDoc::SetFindHighlightColor, &CMirelDoc::crFindHighlight},
    {"FindHighlightBack", &CMirelDoc::SetFindHighlightBackColor, &CMirelDoc::crFindHighlightBack},
};

struct SystemColor {
  const char* name;
  void (CMirelDoc::*setter)(COLORREF);
  BOOL (CMirelDoc::*follows)() const;
  COLORREF CMirelDoc::*field;
  BYTE nBit;
  int nSysIndex;
};

const SystemColor kSystemColors[] = {
    {"Back", &CMirelDoc::SetBackColor, &CMirelDoc::IsSysColorBack, &CMirelDoc::crBack, MIREL_SYSCLR_BACK,
     COLOR_WINDOW},
    {"Fore", &CMirelDoc::SetForeColor, &CMirelDoc::IsSysColorFore, &CMirelDoc::crFore, MIREL_SYSCLR_FORE,
     COLOR_WINDOWTEXT},
    {"SelBack", &CMirelDoc::SetSelBackColor, &CMirelDoc::IsSysColorSelBack, &CMirelDoc::crSelBack,
     MIREL_SYSCLR_SEL_BACK, COLOR_HIGHLIGHT},
    {"SelFore", &CMirelDoc::SetSelForeColor, &CMirelDoc::IsSysColorSelFore, &CMirelDoc::crSelFore,
     MIREL_SYSCLR_SEL_FORE, COLOR_HIGHLIGHTTEXT},
    {"LineNo", &CMirelDoc::SetLineNoColor, &CMirelDoc::IsSysColorLineNo, &CMirelDoc::crLineNo,
     MIREL_SYSCLR_LINE_NO, COLOR_3DDKSHADOW},
};

// A colour no system colour has by default.
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kOdd = 0x123457;

TEST(SettingsColors, BeforeAnyWindowEachSetterChangesOnlyItsField) {
  for (const PlainColor& c : kPlainColors) {
    CMirelDoc doc;
    CMirelDoc reference;
    (doc.*c.setter)(kOdd);
    EXPECT_EQ(doc.*c.field, kOdd) << c.name;
    // MIREL_CLR_AUTO means nothing special to these setters.
    (doc.*c.setter)(MIREL_CLR_AUTO);
    EXPECT_EQ(doc.*c.field, MIREL_CLR_AUTO) << c.name;
    for (const PlainColor& other : kPlainColors) {
      if (other.field == c.field) continue;
      EXPECT_EQ(doc.*other.field, reference.*other.field) << c.name << "/" << other.name;
    }
    EXPECT_EQ(doc.nSysColors, reference.nSysColors) << c.name;
  }
}

class SettingsColorsWithWindows : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    a = std::make_unique<TestEdit>(&doc, &log, "a", CreateChild(1));
    b = std::make_unique<TestEdit>(&doc, &log, "b", CreateChild(2));
    doc.RegisterEdit(&a->edit);
    doc.RegisterEdit(&b->edit);
    log.clear();
  }
  CMirelDoc doc;
  CallLog log;
  std::unique_ptr<TestEdit> a;
  std::unique_ptr<TestEdit> b;
};

TEST_F(SettingsColorsWithWindows, EveryColourSetterRepaintsEveryViewOnce) {
  const CallLog kRepaint{"a.invalidate(2,0,0)", "b.invalidate(2,0,0)"};
  for (const PlainColor& c : kPlainColors) {
    log.clear();
    (doc.*c.setter)(kOdd);
    EXPECT_EQ(doc.*c.field, kOdd) << c.name;
    EXPECT_EQ(log, kRepaint) << c.name;
  }
  for (const SystemColor& c : kSystemColors) {
    log.clear();
    (doc.*c.setter)(kOdd);
    EXPECT_EQ(log, kRepaint) << c.name;
    log.clear();
    (doc.*c.setter)(MIREL_CLR_AUTO);
    EXPECT_EQ(log, kRepaint) << c.name;
  }
}

TEST(SettingsSystemColors, AutoFollowsTheSystemColourAndAnyOtherValueStopsFollowing) {
  for (const SystemColor& c : kSystemColors) {
    CMirelDoc doc;
    (doc.*c.setter)(kGreen);
    EXPECT_FALSE((doc.*c.follows)()) << c.name;
    EXPECT_EQ(doc.nSysColors, MIREL_SYSCLR_DEFAULT & ~c.nBit) << c.name;
    EXPECT_EQ(doc.*c.field, kGreen) << c.name;

    (doc.*c.setter)(MIREL_CLR_AUTO);
    EXPECT_TRUE((doc.*c.follows)()) << c.name;
    EXPECT_EQ(doc.nSysColors, MIREL_SYSCLR_DEFAULT) << c.name;
    EXPECT_EQ(doc.*c.field, GetSysColor(c.nSysIndex)) << c.name;
  }
}

// The stand-in lets a test change a system colour, as the user would in the
// control panel before WM_SYSCOLORCHANGE arrives.
class SettingsSystemColorChange : public ::testing::Test {
 protected:
  void TearDown() override {
#ifndef _WIN32
    MrwTestResetSystemSettings();
#endif
  }
  static void ChangeSystemColor(int nIndex, COLORREF cr) {
#ifndef _WIN32
    MrwTestSetSysColor(nIndex, cr);
#else
    (void)nIndex;
    (void)cr;
#endif
  }
};

TEST_F(SettingsSystemColorChange, FollowingColoursAreReadAgainAndFixedOnesStay) {
  MIREL_REQUIRE_STANDIN();
  for (const SystemColor& c : kSystemColors) {
    CMirelDoc fixed;
    CMirelDoc following;
    (fixed.*c.setter)(MIREL_CLR_AUTO);
    (fixed.*c.setter)(kGreen);
    (following.*c.setter)(MIREL_CLR_AUTO);

    ChangeSystemColor(c.nSysIndex, kOdd);
    fixed.ReloadSystemColors();
    following.ReloadSystemColors();
    EXPECT_EQ(fixed.*c.field, kGreen) << c.name;
    EXPECT_EQ(following.*c.field, kOdd) << c.name;
    TearDown();
  }
}

TEST_F(SettingsSystemColorChange, ReloadingRepaintsOnceWithWindows) {
  CMirelDoc doc;
  CallLog log;
  TestEdit e(&doc, &log, "e", reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7EAD0000)));
  doc.RegisterEdit(&e.edit);
  log.clear();
  doc.ReloadSystemColors();
  EXPECT_EQ(log, (CallLog{"e.invalidate(2,0,0)"}));
  e.edit.hWndEdit = nullptr;
}

// Focus changes: a window losing the focus shows the selection in the
// inactive colour and puts the real one aside; gaining it puts it back.
TEST(SettingsInactiveSelection, FocusOutAndInLeavesTheSelectionColourAsItWas) {
  CMirelDoc doc;
  doc.SetSelBackColor(kGreen);
  doc.UseInactiveSelBack();
  EXPECT_EQ(doc.crSelBack, GetSysColor(COLOR_INACTIVECAPTIONTEXT));
  doc.RestoreSelBack();
  EXPECT_EQ(doc.crSelBack, kGreen);
  EXPECT_FALSE(doc.IsSysColorSelBack());
}

TEST(SettingsInactiveSelection, RestoringKeepsFollowingTheSystemColour) {
  CMirelDoc doc;
  doc.SetSelBackColor(MIREL_CLR_AUTO);
  doc.UseInactiveSelBack();
  doc.RestoreSelBack();
  EXPECT_TRUE(doc.IsSysColorSelBack());
  EXPECT_EQ(doc.nSysColors, MIREL_SYSCLR_DEFAULT);
  EXPECT_EQ(doc.crSelBack, GetSysColor(COLOR_HIGHLIGHT));
}

TEST(SettingsInactiveSelection, AColourThatWasNeverPutAsideIsNotRestored) {
  CMirelDoc doc;
  doc.SetSelBackColor(kGreen);
  doc.crSelBackSaved = kOdd;  // left over, never saved by a focus change
  doc.RestoreSelBack();
  EXPECT_EQ(doc.crSelBack, kGreen);

  // Mode 0 hides the selection while unfocused: nothing is put aside either.
  doc.block.nInactiveSelMode = 0;
  doc.UseInactiveSelBack();
  EXPECT_EQ(doc.crSelBack, kGreen);
  doc.block.nInactiveSelMode = 1;
  doc.RestoreSelBack();
  EXPECT_EQ(doc.crSelBack, kGreen);
}

TEST(SettingsInactiveSelection, LosingTheFocusTwiceKeepsTheRealColour) {
  CMirelDoc doc;
  doc.SetSelBackColor(kGreen);
  doc.UseInactiveSelBack();
  doc.UseInactiveSelBack();
  doc.RestoreSelBack();
  EXPECT_EQ(doc.crSelBack, kGreen);
}

TEST(SettingsInactiveSelection, ANewColourWhileUnfocusedIsTheOneRestored) {
  CMirelDoc doc;
  doc.SetSelBackColor(kGreen);
  doc.UseInactiveSelBack();
  doc.SetSelBackColor(kOdd);
  EXPECT_EQ(doc.crSelBackSaved, kOdd);
  doc.RestoreSelBack();
  EXPECT_EQ(doc.crSelBack, kOdd);
}

TEST(SettingsInactiveSelection, ModeChangedWhileUnfocusedStillGetsTheColourBack) {
  CMirelDoc doc;
  doc.SetSelBackColor(kGreen);
  doc.UseInactiveSelBack();
  doc.block.nInactiveSelMode = 2;
  doc.RestoreSelBack();
  EXPECT_EQ(doc.crSelBack, kGreen);
}

}  // namespace
