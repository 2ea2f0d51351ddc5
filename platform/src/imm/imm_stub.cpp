// The input method manager of the stand-in: no input method runs, so no
// window has an input context, and the properties of a keyboard layout's
// input method are whatever tests set.
#include <imm.h>

#include <map>
#include <utility>

#include "hooks_imm.h"

namespace {

using PropertyKey = std::pair<HKL, DWORD>;

std::map<PropertyKey, DWORD>& Properties() {
  static std::map<PropertyKey, DWORD> properties;
  return properties;
}

}  // namespace

DWORD WINAPI ImmGetProperty(HKL hKL, DWORD dwIndex) {
  const auto it = Properties().find(PropertyKey(hKL, dwIndex));
  return it != Properties().end() ? it->second : 0;
}

HIMC WINAPI ImmGetContext(HWND hWnd) {
  (void)hWnd;
  return nullptr;
}

BOOL WINAPI ImmReleaseContext(HWND hWnd, HIMC hIMC) {
  (void)hWnd;
  (void)hIMC;
  return TRUE;
}

BOOL WINAPI ImmNotifyIME(HIMC hIMC, DWORD dwAction, DWORD dwIndex, DWORD dwValue) {
  (void)hIMC;
  (void)dwAction;
  (void)dwIndex;
  (void)dwValue;
  return FALSE;  // there is no context to act on
}

void MrwTestSetImeProperty(HKL hKL, DWORD dwIndex, DWORD dwValue) {
  Properties()[PropertyKey(hKL, dwIndex)] = dwValue;
}

void MrwTestResetImm(void) {
  Properties().clear();
  MrwTestSetKeyboardLayout(MRW_TEST_DEFAULT_KEYBOARD_LAYOUT);
}
