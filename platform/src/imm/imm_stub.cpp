// The input method manager of the stand-in: the properties of a keyboard
// layout's input method are whatever tests set; the input contexts are in
// input_context.cpp.
#include <imm.h>

#include <map>
#include <utility>

#include "hooks_imm.h"
#include "internal.h"

namespace {

using PropertyKey = std::pair<HKL, DWORD>;

std::map<PropertyKey, DWORD>& Properties() {
  static std::map<PropertyKey, DWORD> properties;
  return properties;
}

struct CompositionWindowLog {
  int nCount = 0;
  COMPOSITIONFORM form{};
  HIMC hIMC = nullptr;
};

CompositionWindowLog& CompositionWindowCalls() {
  static CompositionWindowLog log;
  return log;
}

}  // namespace

DWORD WINAPI ImmGetProperty(HKL hKL, DWORD dwIndex) {
  const auto it = Properties().find(PropertyKey(hKL, dwIndex));
  return it != Properties().end() ? it->second : 0;
}

BOOL WINAPI ImmSetCompositionWindow(HIMC hIMC, LPCOMPOSITIONFORM lpCompForm) {
  // Recorded for tests even without a context: no input method runs here.
  CompositionWindowLog& log = CompositionWindowCalls();
  ++log.nCount;
  log.hIMC = hIMC;
  log.form = lpCompForm != nullptr ? *lpCompForm : COMPOSITIONFORM{};
  return hIMC != nullptr && lpCompForm != nullptr;
}

void MrwTestGetCompositionWindowCalls(int* pnCount, COMPOSITIONFORM* pLast, HIMC* phLast) {
  const CompositionWindowLog& log = CompositionWindowCalls();
  if (pnCount != nullptr) *pnCount = log.nCount;
  if (pLast != nullptr) *pLast = log.form;
  if (phLast != nullptr) *phLast = log.hIMC;
}

void MrwTestSetImeProperty(HKL hKL, DWORD dwIndex, DWORD dwValue) {
  Properties()[PropertyKey(hKL, dwIndex)] = dwValue;
}

void MrwTestResetImm(void) {
  Properties().clear();
  CompositionWindowCalls() = CompositionWindowLog{};
  MrwTestSetKeyboardLayout(MRW_TEST_DEFAULT_KEYBOARD_LAYOUT);
  MrwImmResetContexts();
}
