// The keyboard layout of the stand-in's threads: one layout for all of them,
// set by tests.
#include <imm.h>

#include "hooks_imm.h"

namespace {

HKL& CurrentLayout() {
  static HKL hLayout = MRW_TEST_DEFAULT_KEYBOARD_LAYOUT;
  return hLayout;
}

}  // namespace

HKL WINAPI GetKeyboardLayout(DWORD idThread) {
  (void)idThread;
  return CurrentLayout();
}

void MrwTestSetKeyboardLayout(HKL hKL) {
  CurrentLayout() = hKL;
}
