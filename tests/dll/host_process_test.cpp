// A host process loads the shipped library by path, makes two controls in
// one window, puts Korean text (code page 949) into one through its ANSI
// entry point and reads it back as UTF-16 and UTF-8, then destroys both.
#include <windows.h>

#include <gtest/gtest.h>

#include "dll_paths.h"

#include <string>
#include <vector>

#include "control_host.h"
#include "test_support.h"

namespace {

typedef HWND(__cdecl* CreateFn)(HWND, int, int, int, int, int, DWORD, DWORD);
typedef void(__cdecl* DestroyFn)(HWND);
typedef int(__cdecl* NewFileFn)(HWND);
typedef int(__cdecl* InsertAFn)(HWND, const char*, int, BOOL);
typedef int(__cdecl* GetTextWFn)(HWND, WCHAR*, int, int);
typedef int(__cdecl* GetTextUFn)(HWND, char*, int, int);
typedef int(__cdecl* SizeFn)(HWND);

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// "한국어 문서" in code page 949, in UTF-16 and in UTF-8.
const char kKorean949[] = "\xC7\xD1\xB1\xB9\xBE\xEE \xB9\xAE\xBC\xAD";
const char16_t kKoreanUtf16[] = u"\uD55C\uAD6D\uC5B4 \uBB38\uC11C";
const char kKoreanUtf8[] = "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xEB\xAC\xB8\xEC\x84\x9C";
// "가나" in code page 949 for the second control.
const char kOther949[] = "\xB0\xA1\xB3\xAA";

class HostProcess : public testing::TestWithParam<const char*> {};

TEST_P(HostProcess, TwoControlsInOneWindowKeepKoreanTextApart) {
  HMODULE module = LoadLibraryA(GetParam());
  ASSERT_NE(module, nullptr) << GetParam();
  auto create = Export<CreateFn>(module, "Mirel_Create");
  auto destroy = Export<DestroyFn>(module, "Mirel_Destroy");
  auto newFile = Export<NewFileFn>(module, "Mirel_NewFile");
  auto insertA = Export<InsertAFn>(module, "Mirel_InsertA");
  auto getTextW = Export<GetTextWFn>(module, "Mirel_GetTextW");
  auto getTextU = Export<GetTextUFn>(module, "Mirel_GetTextU");
  auto contentsSize = Export<SizeFn>(module, "Mirel_GetContentsSize");
  ASSERT_TRUE(create && destroy && newFile && insertA && getTextW && getTextU && contentsSize);

  mirel_test::ControlHost host;
  ASSERT_NE(host.hWnd(), nullptr);
  HWND hFirst = create(host.hWnd(), 1, 0, 0, 200, 100, 0, WS_CHILD | WS_VISIBLE);
  HWND hSecond = create(host.hWnd(), 2, 0, 100, 200, 100, 0, WS_CHILD | WS_VISIBLE);
  ASSERT_NE(hFirst, nullptr);
  ASSERT_NE(hSecond, nullptr);
  EXPECT_NE(hFirst, hSecond);
  EXPECT_EQ(GetParent(hFirst), host.hWnd());
  EXPECT_EQ(GetParent(hSecond), host.hWnd());
  ASSERT_EQ(newFile(hFirst), 1);
  ASSERT_EQ(newFile(hSecond), 1);

  const int nKorean = static_cast<int>(sizeof kKorean949 - 1);
  ASSERT_EQ(insertA(hFirst, kKorean949, nKorean, TRUE), 1);
  ASSERT_EQ(insertA(hSecond, kOther949, 4, TRUE), 1);
  // A new document's text is ANSI: the bytes are stored as given.
  ASSERT_EQ(contentsSize(hFirst), nKorean);
  ASSERT_EQ(contentsSize(hSecond), 4);

  const std::basic_string<WCHAR> expectedW = mirel_test::Wide(kKoreanUtf16);
  const int nUnits = getTextW(hFirst, nullptr, 0, nKorean);
  ASSERT_EQ(nUnits, static_cast<int>(expectedW.size()));
  std::vector<WCHAR> wide(static_cast<size_t>(nUnits) + 1, 0);
  ASSERT_EQ(getTextW(hFirst, wide.data(), 0, nKorean), nUnits);
  EXPECT_EQ(std::basic_string<WCHAR>(wide.data(), static_cast<size_t>(nUnits)), expectedW);

  const int nUtf8 = getTextU(hFirst, nullptr, 0, nKorean);
  ASSERT_EQ(nUtf8, static_cast<int>(sizeof kKoreanUtf8 - 1));
  std::vector<char> utf8(static_cast<size_t>(nUtf8) + 1, 0);
  ASSERT_EQ(getTextU(hFirst, utf8.data(), 0, nKorean), nUtf8);
  EXPECT_EQ(std::string(utf8.data(), static_cast<size_t>(nUtf8)), kKoreanUtf8);

  // The second control kept its own text.
  std::vector<char> other(8, 0);
  ASSERT_EQ(getTextU(hSecond, other.data(), 0, 4), 6);
  EXPECT_EQ(std::string(other.data(), 6), "\xEA\xB0\x80\xEB\x82\x98");

  destroy(hFirst);
  destroy(hSecond);
  EXPECT_FALSE(IsWindow(hFirst));
  EXPECT_FALSE(IsWindow(hSecond));
  EXPECT_EQ(contentsSize(hFirst), 0);
  EXPECT_TRUE(FreeLibrary(module));
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, HostProcess, testing::Values(kReleaseLibrary, kDebugLibrary));

}  // namespace
