// Message boxes and beeps. Nothing is shown and nothing waits: a message box
// records what it would have shown and answers as the test scripted, or as
// pressing Enter would (its default button).
#include <deque>
#include <string>

#include "user/user_state.h"

namespace mrw_user {

namespace {

struct MessageBoxLog {
  int beeps = 0;
  int boxes = 0;
  std::deque<int> script;
  std::string text;
  std::string caption;
  UINT flags = 0;
};

MessageBoxLog& Log() {
  static MessageBoxLog* log = new MessageBoxLog();
  return *log;
}

// The button MB_DEFBUTTONn selects among those of the box type.
int DefaultAnswer(UINT type) {
  static constexpr int kButtons[][4] = {
      {IDOK, IDOK, IDOK, IDOK},                      // MB_OK
      {IDOK, IDCANCEL, IDOK, IDOK},                  // MB_OKCANCEL
      {IDABORT, IDRETRY, IDIGNORE, IDABORT},         // MB_ABORTRETRYIGNORE
      {IDYES, IDNO, IDCANCEL, IDYES},                // MB_YESNOCANCEL
      {IDYES, IDNO, IDYES, IDYES},                   // MB_YESNO
      {IDRETRY, IDCANCEL, IDRETRY, IDRETRY},         // MB_RETRYCANCEL
      {IDCANCEL, IDTRYAGAIN, IDCONTINUE, IDCANCEL},  // MB_CANCELTRYCONTINUE
  };
  UINT kind = type & MB_TYPEMASK;
  if (kind > MB_CANCELTRYCONTINUE) kind = MB_OK;
  UINT button = (type & MB_DEFMASK) >> 8;
  return kButtons[kind][button & 3];
}

}  // namespace

}  // namespace mrw_user

using namespace mrw_user;

BOOL WINAPI MessageBeep(UINT /*uType*/) {
  Log().beeps++;
  return TRUE;
}

int WINAPI MessageBoxA(HWND /*hWnd*/, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  MessageBoxLog& log = Log();
  log.boxes++;
  log.text = lpText ? lpText : "";
  log.caption = lpCaption ? lpCaption : "Error";  // Windows' caption when none is given
  log.flags = uType;
  if (!log.script.empty()) {
    int answer = log.script.front();
    log.script.pop_front();
    return answer;
  }
  return DefaultAnswer(uType);
}

int MrwTestBeepCount(void) {
  return Log().beeps;
}

void MrwTestResetBeepCount(void) {
  Log().beeps = 0;
}

void MrwTestScriptMessageBox(int nAnswer) {
  Log().script.push_back(nAnswer);
}

int MrwTestMessageBoxCount(void) {
  return Log().boxes;
}

const char* MrwTestLastMessageBoxText(void) {
  return Log().text.c_str();
}

const char* MrwTestLastMessageBoxCaption(void) {
  return Log().caption.c_str();
}

UINT MrwTestLastMessageBoxFlags(void) {
  return Log().flags;
}

void MrwTestResetMessageBoxes(void) {
  MessageBoxLog& log = Log();
  log.boxes = 0;
  log.script.clear();
  log.text.clear();
  log.caption.clear();
  log.flags = 0;
}
