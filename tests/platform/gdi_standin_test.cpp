// Behaviour of the stand-in's graphics that Windows does not share: the
// deterministic font metrics, glyph boxes, the drawing record, window
// surfaces, image files and object bookkeeping.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_test_canvas.h"
#include "test_support.h"

#ifndef _WIN32
#include <platform_hooks.h>
#endif

namespace {

using gdi_test::Canvas;
using gdi_test::kBlack;
using gdi_test::kGreen;
using gdi_test::kRed;
using gdi_test::kWhite;

#ifndef _WIN32

TEXTMETRICA MetricsOf(const LOGFONTA& lf) {
  HDC dc = CreateCompatibleDC(nullptr);
  gdi_test::SelectedFont font(dc, lf);
  const TEXTMETRICA tm = font.Metrics();
  DeleteDC(dc);
  return tm;
}

LONG ExtentA(HDC dc, const std::string& text) {
  SIZE size{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size));
  return size.cx;
}

LONG ExtentW(HDC dc, const std::u16string& text) {
  SIZE size{-1, -1};
  EXPECT_TRUE(GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size));
  return size.cx;
}

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t BigEndian32(const std::vector<unsigned char>& data, std::size_t at) {
  return (static_cast<std::uint32_t>(data[at]) << 24) | (data[at + 1] << 16) | (data[at + 2] << 8) |
         data[at + 3];
}

std::uint32_t LittleEndian(const std::vector<unsigned char>& data, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data[at + static_cast<std::size_t>(i)];
  return value;
}

// Bit-by-bit CRC-32 (reflected, polynomial 0xEDB88320), independent of the
// table-driven one under test.
std::uint32_t SlowCrc32(const unsigned char* data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string("mirel_gdi_") + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + name))
      .string();
}

// A canvas of distinct pixels to write out.
void PaintPattern(Canvas& canvas) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) SetPixel(canvas.dc(), x, y, RGB(x * 40, y * 60, 200 - x - y));
  }
}

#endif

TEST(GdiStandInFonts, MetricsFollowTheLogFontAlone) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  TEXTMETRICA tm = MetricsOf(gdi_test::MakeLogFont(-20, ANSI_CHARSET, FIXED_PITCH, "Any"));
  EXPECT_EQ(tm.tmHeight, 20);
  EXPECT_EQ(tm.tmInternalLeading, 0);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmAscent, 16);
  EXPECT_EQ(tm.tmAveCharWidth, 10);
  EXPECT_EQ(tm.tmMaxCharWidth, 20);
  EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);

  tm = MetricsOf(gdi_test::MakeLogFont(16, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, ""));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmInternalLeading, 2);  // a positive height is the cell height
  EXPECT_NE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);

  LOGFONTA lf = gdi_test::MakeLogFont(0, ANSI_CHARSET, 0, "");
  lf.lfWidth = 7;
  tm = MetricsOf(lf);
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAveCharWidth, 7);

  lf = gdi_test::MakeLogFont(INT32_MIN, ANSI_CHARSET, 0, "");
  lf.lfWidth = INT32_MIN;
  tm = MetricsOf(lf);
  EXPECT_EQ(tm.tmHeight, 16384);
  EXPECT_EQ(tm.tmAveCharWidth, 16384);

  // The default character set is the system code page's.
  tm = MetricsOf(gdi_test::MakeLogFont(-12, DEFAULT_CHARSET, 0, ""));
  if (GetACP() == 949) {
    EXPECT_EQ(tm.tmCharSet, HANGEUL_CHARSET);
  }

  HDC dc = CreateCompatibleDC(nullptr);
  GetTextMetricsA(dc, &tm);  // SYSTEM_FONT
  EXPECT_EQ(tm.tmHeight, 16);
  char face[LF_FACESIZE] = {};
  gdi_test::SelectedFont named(dc, gdi_test::MakeLogFont(-12, ANSI_CHARSET, 0, "Courier New"));
  EXPECT_EQ(GetTextFaceA(dc, LF_FACESIZE, face), 11);
  EXPECT_STREQ(face, "Courier New");
  EXPECT_EQ(GetTextFaceA(dc, 0, nullptr), 12);
  DeleteDC(dc);
#endif
}

TEST(GdiStandInFonts, DoubleByteAndWideCharactersAreTwiceAsWide) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  HDC dc = CreateCompatibleDC(nullptr);
  {
    gdi_test::SelectedFont korean(dc, gdi_test::MakeLogFont(-16, HANGEUL_CHARSET, 0, ""));
    const LONG single = korean.Metrics().tmAveCharWidth;
    EXPECT_EQ(ExtentA(dc, "A"), single);
    EXPECT_EQ(ExtentA(dc, "\xB0\xA1"), 2 * single);  // one Hangul syllable
    EXPECT_EQ(ExtentA(dc,
                      "A\xB0\xA1"
                      "b"),
              4 * single);
    EXPECT_EQ(ExtentA(dc, "A\xB0"), 2 * single);  // a lone lead byte is one narrow character
    EXPECT_EQ(ExtentA(dc, std::string("\xB0\x0A", 2)),
              2 * single);  // so is a lead byte before a control byte

    int width = 0;
    EXPECT_TRUE(GetCharWidth32A(dc, 0xB0A1, 0xB0A1, &width));
    EXPECT_EQ(width, 2 * single);
    EXPECT_TRUE(GetCharWidth32A(dc, 'x', 'x', &width));
    EXPECT_EQ(width, single);

    // Partial extents never split a double-byte character.
    std::vector<int> partial(4, -1);
    int fit = -1;
    SIZE size{};
    EXPECT_TRUE(GetTextExtentExPointA(dc,
                                      "a\xB0\xA1"
                                      "b",
                                      4, 2 * single, &fit, nullptr, &size));
    EXPECT_EQ(fit, 1);
    EXPECT_TRUE(GetTextExtentExPointA(dc,
                                      "a\xB0\xA1"
                                      "b",
                                      4, 0, nullptr, partial.data(), &size));
    EXPECT_EQ(partial, (std::vector<int>{single, 3 * single, 3 * single, 4 * single}));

    EXPECT_EQ(ExtentW(dc, u"a"), single);
    EXPECT_EQ(ExtentW(dc, u"\uAC00"), 2 * single);        // Hangul syllable
    EXPECT_EQ(ExtentW(dc, u"\u4E00\u3042"), 4 * single);  // ideograph, kana
    EXPECT_EQ(ExtentW(dc, u"\uFF21"), 2 * single);        // fullwidth A
    EXPECT_EQ(ExtentW(dc, u"\uFF61"), single);            // halfwidth punctuation
    EXPECT_EQ(ExtentW(dc, u"\u00E9\u03B1"), 2 * single);  // Latin, Greek: narrow
    EXPECT_EQ(ExtentW(dc, u"\U00020000"), 2 * single);    // plane 2 ideograph, a surrogate pair
    EXPECT_EQ(ExtentW(dc, u"\U0001F600"), single);
    EXPECT_EQ(ExtentW(dc, std::u16string(1, char16_t(0xD800))), single);  // a lone surrogate
    EXPECT_TRUE(GetCharWidth32W(dc, 0xAC00, 0xAC01, partial.data()));
    EXPECT_EQ(partial[0], 2 * single);
    EXPECT_EQ(partial[1], 2 * single);
  }
  {
    gdi_test::SelectedFont japanese(dc, gdi_test::MakeLogFont(-12, SHIFTJIS_CHARSET, 0, ""));
    const LONG single = japanese.Metrics().tmAveCharWidth;
    EXPECT_EQ(ExtentA(dc, "\x82\xA0"), 2 * single);  // hiragana A in code page 932
    EXPECT_EQ(ExtentA(dc, "\xB1"), single);          // halfwidth katakana: one byte
  }
  {
    gdi_test::SelectedFont western(dc, gdi_test::MakeLogFont(-12, GREEK_CHARSET, 0, ""));
    const LONG single = western.Metrics().tmAveCharWidth;
    EXPECT_EQ(ExtentA(dc, "\xB0\xA1"), 2 * single);  // two single-byte characters
  }
  DeleteDC(dc);
#endif
}

TEST(GdiStandInText, GlyphsAreInsetBoxesDownToTheBaseline) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  Canvas canvas(50, 30);
  gdi_test::SelectedFont font(canvas.dc(), gdi_test::MakeLogFont(-20, ANSI_CHARSET, FIXED_PITCH, ""));
  const TEXTMETRICA tm = font.Metrics();  // 20 high, ascent 16, 10 wide
  SetBkColor(canvas.dc(), kGreen);
  SetTextColor(canvas.dc(), kBlack);
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, "a b", 3));
  const int w = tm.tmAveCharWidth;
  EXPECT_EQ(canvas.Count(RECT{1, 1, w - 1, tm.tmAscent}, kBlack), (w - 2) * (tm.tmAscent - 1));
  EXPECT_EQ(canvas.Pixel(0, 5), kGreen);  // inset left and right
  EXPECT_EQ(canvas.Pixel(w - 1, 5), kGreen);
  EXPECT_EQ(canvas.Pixel(5, 0), kGreen);            // and from the top
  EXPECT_EQ(canvas.Pixel(5, tm.tmAscent), kGreen);  // nothing below the baseline
  EXPECT_EQ(canvas.Count(RECT{w, 0, 2 * w, tm.tmHeight}, kGreen), w * tm.tmHeight);  // the blank
  EXPECT_EQ(canvas.Pixel(2 * w + 5, 5), kBlack);
  EXPECT_EQ(canvas.Pixel(3 * w, 5), kWhite);  // past the text
  EXPECT_EQ(canvas.Pixel(5, tm.tmHeight), kWhite);
#endif
}

TEST(GdiStandInLog, RecordsEveryDrawingCall) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  Canvas canvas(40, 40);
  MrwTestClearDrawLog(canvas.dc());
  ASSERT_TRUE(MrwTestDrawLog(canvas.dc()).empty());
  gdi_test::SelectedFont font(canvas.dc(), gdi_test::MakeLogFont(-12, HANGEUL_CHARSET, 0, ""));
  SetTextColor(canvas.dc(), kRed);
  SetBkMode(canvas.dc(), TRANSPARENT);
  const std::u16string wide = u"\uAC00a";
  TextOutW(canvas.dc(), 3, 4, wide.data(), 2);
  TextOutA(canvas.dc(), 5, 6, "\xB0\xA1", 2);
  const INT dx[2] = {7, 9};
  const RECT box{1, 2, 30, 20};
  ExtTextOutA(canvas.dc(), 1, 2, ETO_OPAQUE | ETO_CLIPPED, &box, "xy", 2, dx);
  HBRUSH brush = CreateSolidBrush(kGreen);
  RECT rc{2, 2, 9, 9};
  FillRect(canvas.dc(), &rc, brush);
  DeleteObject(brush);
  IntersectClipRect(canvas.dc(), 0, 0, 20, 30);
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  LineTo(canvas.dc(), 8, 1);

  const std::vector<MrwDrawOp> log = MrwTestDrawLog(canvas.dc());
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].kind, MrwDrawKind::kTextOut);
  EXPECT_EQ(log[0].text, wide);
  EXPECT_EQ(log[0].x, 3);
  EXPECT_EQ(log[0].y, 4);
  EXPECT_EQ(log[0].textColor, kRed);
  EXPECT_EQ(log[0].bkMode, TRANSPARENT);
  EXPECT_EQ(log[0].font, font.font());
  EXPECT_EQ(log[1].text, u"\uAC00");  // ANSI text in the font's code page
  EXPECT_EQ(log[2].options, static_cast<UINT>(ETO_OPAQUE | ETO_CLIPPED));
  EXPECT_EQ(log[2].rect.right, 30);
  EXPECT_EQ(log[2].dx, (std::vector<int>{7, 9}));
  EXPECT_EQ(log[3].kind, MrwDrawKind::kFillRect);
  EXPECT_EQ(log[3].brushColor, kGreen);
  EXPECT_EQ(log[3].rect.left, 2);
  EXPECT_EQ(log[3].clip.right, 40);
  EXPECT_EQ(log[4].kind, MrwDrawKind::kLine);
  ASSERT_EQ(log[4].points.size(), 2u);
  EXPECT_EQ(log[4].points[1].x, 8);
  EXPECT_EQ(log[4].penColor, kBlack);
  EXPECT_EQ(log[4].clip.right, 20);
  EXPECT_EQ(log[4].clip.bottom, 30);

  MrwTestClearDrawLog(canvas.dc());
  EXPECT_TRUE(MrwTestDrawLog(canvas.dc()).empty());
  EXPECT_TRUE(MrwTestDrawLog(static_cast<HDC>(nullptr)).empty());
#endif
}

TEST(GdiStandInImages, PngHasValidChunksAndThePixels) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  Canvas canvas(3, 2);
  PaintPattern(canvas);
  const std::string path = TempPath("image.png");
  ASSERT_TRUE(MrwTestSaveBitmap(canvas.bitmap(), path.c_str()));
  const std::vector<unsigned char> png = ReadFile(path);
  std::remove(path.c_str());
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::vector<unsigned char>(png.begin(), png.begin() + 8),
            (std::vector<unsigned char>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

  // Walk the chunks, checking every CRC, collecting IHDR and IDAT.
  std::vector<unsigned char> header, zlib;
  std::vector<std::string> types;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = BigEndian32(png, at);
    ASSERT_LE(at + 12 + length, png.size());
    const std::string type(png.begin() + static_cast<std::ptrdiff_t>(at + 4),
                           png.begin() + static_cast<std::ptrdiff_t>(at + 8));
    EXPECT_EQ(BigEndian32(png, at + 8 + length), SlowCrc32(png.data() + at + 4, length + 4)) << type;
    const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
    if (type == "IHDR") header.assign(data, data + length);
    if (type == "IDAT") zlib.insert(zlib.end(), data, data + length);
    types.push_back(type);
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  ASSERT_EQ(header.size(), 13u);
  EXPECT_EQ(BigEndian32(header, 0), 3u);
  EXPECT_EQ(BigEndian32(header, 4), 2u);
  EXPECT_EQ(header[8], 8);  // bit depth
  EXPECT_EQ(header[9], 2);  // RGB

  // Stored deflate blocks hold the raw rows; Adler-32 closes the stream.
  ASSERT_GE(zlib.size(), 2u + 5u + 4u);
  EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0);
  std::vector<unsigned char> raw;
  std::size_t pos = 2;
  bool last = false;
  while (!last && pos + 5 <= zlib.size()) {
    last = zlib[pos] & 1;
    EXPECT_EQ(zlib[pos] & 6, 0);  // stored
    const std::uint32_t length = LittleEndian(zlib, pos + 1, 2);
    EXPECT_EQ(length ^ LittleEndian(zlib, pos + 3, 2), 0xFFFFu);
    raw.insert(raw.end(), zlib.begin() + static_cast<std::ptrdiff_t>(pos + 5),
               zlib.begin() + static_cast<std::ptrdiff_t>(pos + 5 + length));
    pos += 5 + length;
  }
  ASSERT_TRUE(last);
  ASSERT_EQ(pos + 4, zlib.size());
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(BigEndian32(zlib, pos), (b << 16) | a);
  ASSERT_EQ(raw.size(), 2u * (1 + 3 * 3));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(raw[static_cast<std::size_t>(y) * 10], 0);  // no filter
    for (int x = 0; x < 3; ++x) {
      const COLORREF pixel = canvas.Pixel(x, y);
      const std::size_t i = static_cast<std::size_t>(y) * 10 + 1 + static_cast<std::size_t>(x) * 3;
      EXPECT_EQ(RGB(raw[i], raw[i + 1], raw[i + 2]), pixel) << x << "," << y;
    }
  }
#endif
}

TEST(GdiStandInImages, BmpRereadsAsThePixels) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  Canvas canvas(5, 3);  // 15 bytes a row: padding needed
  PaintPattern(canvas);
  const std::string path = TempPath("image.bmp");
  ASSERT_TRUE(MrwTestSaveBitmap(canvas.bitmap(), path.c_str()));
  const std::vector<unsigned char> bmp = ReadFile(path);
  std::remove(path.c_str());
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(LittleEndian(bmp, 2, 4), bmp.size());
  const std::uint32_t offset = LittleEndian(bmp, 10, 4);
  EXPECT_EQ(LittleEndian(bmp, 18, 4), 5u);
  EXPECT_EQ(LittleEndian(bmp, 22, 4), 3u);
  EXPECT_EQ(LittleEndian(bmp, 28, 2), 24u);
  const std::size_t stride = 16;
  ASSERT_EQ(bmp.size(), offset + stride * 3);
  for (int y = 0; y < 3; ++y) {
    const std::size_t row = offset + stride * static_cast<std::size_t>(2 - y);  // bottom-up
    for (int x = 0; x < 5; ++x) {
      const std::size_t i = row + static_cast<std::size_t>(x) * 3;
      EXPECT_EQ(RGB(bmp[i + 2], bmp[i + 1], bmp[i]), canvas.Pixel(x, y)) << x << "," << y;
    }
  }
  EXPECT_FALSE(MrwTestSaveBitmap(nullptr, path.c_str()));
  EXPECT_FALSE(MrwTestSaveBitmap(canvas.bitmap(), "/nonexistent-dir/x.png"));
#endif
}

#ifndef _WIN32

LRESULT CALLBACK PlainWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hWnd, msg, wParam, lParam);
}

HWND MakeWindow(int cx, int cy) {
  static const ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainWindowProc;
    wc.lpszClassName = "MirelGdiTestWindow";
    return RegisterClassA(&wc);
  }();
  if (!atom) return nullptr;
  return CreateWindowExA(0, "MirelGdiTestWindow", "", WS_POPUP, 0, 0, cx, cy, nullptr, nullptr, nullptr,
                         nullptr);
}

#endif

TEST(GdiStandInWindows, WindowDcsDrawOnAKeptSurface) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  HWND hwnd = MakeWindow(60, 40);
  ASSERT_NE(hwnd, nullptr);
  RECT client{};
  GetClientRect(hwnd, &client);
  HDC dc = GetDC(hwnd);
  ASSERT_NE(dc, nullptr);
  MrwTestClearDrawLog(hwnd);
  HBRUSH brush = CreateSolidBrush(kRed);
  RECT rc{0, 0, 10, 10};
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
  ReleaseDC(hwnd, dc);

  int cx = 0, cy = 0;
  ASSERT_TRUE(MrwTestWindowSurfaceSize(hwnd, &cx, &cy));
  EXPECT_EQ(cx, client.right);
  EXPECT_EQ(cy, client.bottom);
  EXPECT_EQ(MrwTestWindowPixel(hwnd, 9, 9), kRed);
  EXPECT_EQ(MrwTestWindowPixel(hwnd, 10, 10), kWhite);
  EXPECT_EQ(MrwTestWindowPixel(hwnd, cx, 0), CLR_INVALID);
  const std::vector<MrwDrawOp> log = MrwTestDrawLog(hwnd);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].kind, MrwDrawKind::kFillRect);

  dc = GetDC(hwnd);  // a new DC sees the same pixels
  EXPECT_EQ(GetPixel(dc, 5, 5), kRed);
  ReleaseDC(hwnd, dc);

  // Growing keeps what overlaps; the new part starts white.
  SetWindowPos(hwnd, nullptr, 0, 0, 90, 70, SWP_NOZORDER | SWP_NOMOVE);
  GetClientRect(hwnd, &client);
  ASSERT_TRUE(MrwTestWindowSurfaceSize(hwnd, &cx, &cy));
  EXPECT_EQ(cx, client.right);
  EXPECT_EQ(cy, client.bottom);
  EXPECT_EQ(MrwTestWindowPixel(hwnd, 9, 9), kRed);
  EXPECT_EQ(MrwTestWindowPixel(hwnd, cx - 1, cy - 1), kWhite);

  const std::string path = TempPath("window.png");
  EXPECT_TRUE(MrwTestSaveWindowImage(hwnd, path.c_str()));
  EXPECT_GT(ReadFile(path).size(), 8u);
  std::remove(path.c_str());

  DestroyWindow(hwnd);
  EXPECT_EQ(MrwTestWindowPixel(hwnd, 0, 0), CLR_INVALID);
  EXPECT_TRUE(MrwTestDrawLog(hwnd).empty());
#endif
}

TEST(GdiStandInObjects, DeletingASelectedObjectWaitsForItsRelease) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  const int baseline = MrwTestLiveGdiObjects();
  Canvas canvas(10, 10);
  EXPECT_EQ(MrwTestLiveGdiObjects(), baseline + 2);  // the DC and its bitmap
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));  // alive while selected
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, pen), nullptr);  // but no DC may take it up again
  DeleteDC(other);
  EXPECT_EQ(MrwTestLiveGdiObjects(), baseline + 3);
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 5, 0);  // the DC still draws with it
  EXPECT_EQ(canvas.Pixel(2, 0), kRed);
  SelectObject(canvas.dc(), old);
  EXPECT_EQ(MrwTestLiveGdiObjects(), baseline + 2);
  EXPECT_EQ(GetObjectType(pen), 0u);

  // A bitmap in a DC cannot be deleted at all.
  EXPECT_FALSE(DeleteObject(canvas.bitmap()));
  EXPECT_EQ(GetObjectType(canvas.bitmap()), static_cast<DWORD>(OBJ_BITMAP));

  // A pen held only by a saved state goes when that state is dropped.
  HPEN saved = CreatePen(PS_SOLID, 1, kGreen);
  old = SelectObject(canvas.dc(), saved);
  const int level = SaveDC(canvas.dc());
  SelectObject(canvas.dc(), old);
  EXPECT_TRUE(DeleteObject(saved));
  EXPECT_EQ(MrwTestLiveGdiObjects(), baseline + 3);
  EXPECT_TRUE(RestoreDC(canvas.dc(), level));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), saved);
  SelectObject(canvas.dc(), old);
  EXPECT_EQ(MrwTestLiveGdiObjects(), baseline + 2);
#endif
}

TEST(GdiStandInObjects, HandlesAreNeverReusedAndStrayValuesFail) {
  MIREL_REQUIRE_STANDIN();
#ifndef _WIN32
  HBRUSH first = CreateSolidBrush(kRed);
  DeleteObject(first);
  HBRUSH second = CreateSolidBrush(kRed);
  EXPECT_NE(first, second);
  DeleteObject(second);
  const auto stray = reinterpret_cast<HDC>(static_cast<std::uintptr_t>(0x1234));
  EXPECT_FALSE(TextOutA(stray, 0, 0, "x", 1));
  EXPECT_EQ(GetPixel(stray, 0, 0), CLR_INVALID);
  EXPECT_FALSE(BitBlt(stray, 0, 0, 1, 1, stray, 0, 0, SRCCOPY));
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0x5678))), 0u);
  RECT rc{0, 0, 1, 1};
  Canvas canvas(2, 2);
  EXPECT_EQ(FillRect(canvas.dc(), &rc, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(0x9999))), 0);
  EXPECT_EQ(canvas.Pixel(0, 0), kWhite);
#endif
}

}  // namespace
