// System colours, metrics and parameters, cursors, message boxes and beeps.
#include <windows.h>

#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

namespace {

TEST(UserSystemTest, MetricsDescribeAUsableScreen) {
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GT(GetSystemMetrics(SM_CXVSCROLL), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYHSCROLL), 0);
  EXPECT_GT(GetSystemMetrics(SM_CXDOUBLECLK), 0);
  EXPECT_GT(GetSystemMetrics(SM_CXDRAG), 0);
  EXPECT_NE(GetSystemMetrics(SM_DBCSENABLED), 0);  // code page 949
  EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
  EXPECT_GT(GetDoubleClickTime(), 0u);
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_GE(lines, 1u);
}

TEST(UserSystemTest, StandInScreenAndDefaults) {
  MIREL_REQUIRE_STANDIN();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(GetSystemMetrics(SM_CYCURSOR), 32);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
}

TEST(UserSystemTest, SystemColourBrushesAreSharedAndMatchTheColour) {
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(GetSysColorBrush(COLOR_HIGHLIGHT), brush);
  LOGBRUSH lb = {};
  ASSERT_EQ(GetObjectA(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetSysColorBrush(COLOR_3DFACE), GetSysColorBrush(COLOR_BTNFACE));
}

#ifndef _WIN32
TEST(UserSystemTest, ChangedSystemColourGivesANewBrush) {
  HBRUSH before = GetSysColorBrush(COLOR_HIGHLIGHT);
  MrwTestSetSysColor(COLOR_HIGHLIGHT, RGB(1, 2, 3));
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(1, 2, 3));
  HBRUSH after = GetSysColorBrush(COLOR_HIGHLIGHT);
  LOGBRUSH lb = {};
  ASSERT_EQ(GetObjectA(after, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
  ASSERT_EQ(GetObjectA(before, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));  // still usable
  MrwTestResetSystemSettings();
  EXPECT_EQ(GetSysColorBrush(COLOR_HIGHLIGHT), before);

  MrwTestSetSystemMetric(SM_SWAPBUTTON, 1);
  EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 1);
  MrwTestSetWheelScrollLines(WHEEL_PAGESCROLL);
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(lines, WHEEL_PAGESCROLL);
  MrwTestResetSystemSettings();
  EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
}

TEST(UserSystemTest, MessageBoxAnswersAsScripted) {
  MrwTestResetMessageBoxes();
  MrwTestScriptMessageBox(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Save changes?", "Mirel", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MrwTestMessageBoxCount(), 1);
  EXPECT_STREQ(MrwTestLastMessageBoxText(), "Save changes?");
  EXPECT_STREQ(MrwTestLastMessageBoxCaption(), "Mirel");
  EXPECT_EQ(MrwTestLastMessageBoxFlags(), static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  // Without a script the default button answers.
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "x", nullptr, MB_OKCANCEL), IDOK);
  EXPECT_STREQ(MrwTestLastMessageBoxCaption(), "Error");
  MrwTestResetMessageBoxes();
  EXPECT_EQ(MrwTestMessageBoxCount(), 0);
}

TEST(UserSystemTest, BeepsAreCounted) {
  MrwTestResetBeepCount();
  MessageBeep(MB_OK);
  MessageBeep(0xFFFFFFFF);
  EXPECT_EQ(MrwTestBeepCount(), 2);
  MrwTestResetBeepCount();
  EXPECT_EQ(MrwTestBeepCount(), 0);
}
#endif

TEST(UserSystemTest, PredefinedCursorsLoad) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR beam = LoadCursorA(nullptr, IDC_IBEAM);
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(beam, nullptr);
  EXPECT_NE(arrow, beam);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  HCURSOR old = SetCursor(beam);
  EXPECT_EQ(GetCursor(), beam);
  SetCursor(old);
}

}  // namespace
