// Modules over the dynamic loader: a module handle is the loader's handle,
// remembered with the module's path so that GetModuleFileNameA never has
// to ask the loader about a handle that may be stale.
#include "kernel_paths.h"

#include <platform_hooks.h>

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct Module {
  std::string path;
  unsigned nLoads = 0;  // LoadLibraryA calls not yet matched by FreeLibrary
};

struct ModuleTable {
  std::mutex mutex;
  std::unordered_map<void*, Module> modules;
};

ModuleTable& Modules() {
  static ModuleTable& table = *new ModuleTable;  // never destroyed: usable from static destructors
  return table;
}

std::mutex gProgramPathMutex;
std::string gProgramPath;  // set by a test: the host program's path, when not empty

std::string ExecutablePath() {
  {
    std::lock_guard<std::mutex> lock(gProgramPathMutex);
    if (!gProgramPath.empty()) return gProgramPath;
  }
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

std::string FullPath(const char* path) {
  char buffer[PATH_MAX];
  if (path != nullptr && realpath(path, buffer) != nullptr) return buffer;
  return path != nullptr ? path : "";
}

// The file a freshly obtained loader handle stands for.
std::string PathOfHandle(void* handle) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr ||
      map->l_name[0] == '\0')
    return ExecutablePath();  // the main program has no name in the loader
  return FullPath(map->l_name);
}

void* MainProgram() {
  static void* handle = dlopen(nullptr, RTLD_LAZY);
  return handle;
}

// Registers a handle the loader just gave out; counts a load when bLoaded.
void Remember(void* handle, bool bLoaded) {
  const std::string path = PathOfHandle(handle);
  ModuleTable& table = Modules();
  std::lock_guard<std::mutex> lock(table.mutex);
  Module& module = table.modules[handle];
  module.path = path;
  if (bLoaded) ++module.nLoads;
}

// The path of a known handle, or of the module that contains an address
// (a module's own code may pass an address inside itself as its instance).
bool FindModulePath(HMODULE hModule, std::string* pPath) {
  if (hModule == nullptr) {
    *pPath = ExecutablePath();
    return !pPath->empty();
  }
  void* handle = static_cast<void*>(hModule);
  {
    ModuleTable& table = Modules();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.modules.find(handle);
    if (found != table.modules.end()) {
      *pPath = found->second.path;
      return true;
    }
  }
  Dl_info info{};
  if (dladdr(handle, &info) == 0 || info.dli_fname == nullptr) return false;
  *pPath = info.dli_fname[0] != '\0' ? FullPath(info.dli_fname) : ExecutablePath();
  return !pPath->empty();
}

}  // namespace

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string path;
  if (!FindModulePath(hModule, &path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (nSize == 0 || lpFilename == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() < nSize) {
    std::memcpy(lpFilename, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  // Too small: truncated and still terminated, the buffer size returned.
  std::memcpy(lpFilename, path.data(), nSize - 1);
  lpFilename[nSize - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName == nullptr) {
    void* handle = MainProgram();
    if (handle != nullptr) Remember(handle, false);
    return static_cast<HMODULE>(handle);
  }
  void* handle = dlopen(mrw_kernel::HostPath(lpModuleName).c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  Remember(handle, false);
  dlclose(handle);  // NOLOAD still counted a reference; GetModuleHandle takes none
  return static_cast<HMODULE>(handle);
}

HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
  if (lpLibFileName == nullptr || lpLibFileName[0] == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* handle = dlopen(mrw_kernel::HostPath(lpLibFileName).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  Remember(handle, true);
  return static_cast<HMODULE>(handle);
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  void* handle = hModule != nullptr ? static_cast<void*>(hModule) : MainProgram();
  {
    ModuleTable& table = Modules();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (hModule != nullptr && table.modules.count(handle) == 0) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
  }
  // Exports by ordinal (a value below 0x10000 in place of a name) do not exist here.
  if (lpProcName == nullptr || reinterpret_cast<std::uintptr_t>(lpProcName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* symbol = dlsym(handle, lpProcName);
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE hLibModule) {
  void* handle = static_cast<void*>(hLibModule);
  ModuleTable& table = Modules();
  std::unique_lock<std::mutex> lock(table.mutex);
  auto found = table.modules.find(handle);
  if (hLibModule == nullptr || found == table.modules.end()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return FALSE;
  }
  if (found->second.nLoads == 0) return TRUE;  // a module this process did not load stays
  if (--found->second.nLoads == 0) table.modules.erase(found);
  lock.unlock();
  dlclose(handle);
  return TRUE;
}

void MrwTestSetProgramPath(const char* pszPath) {
  std::lock_guard<std::mutex> lock(gProgramPathMutex);
  gProgramPath = pszPath != nullptr ? pszPath : "";
}
