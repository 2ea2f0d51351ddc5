// Where the test programs find the two shipped libraries.
#pragma once

#ifdef _WIN32
// The Windows tree copies both DLLs beside the test program.
constexpr const char* kReleaseLibrary = "MirelCtrl.dll";
constexpr const char* kDebugLibrary = "MirelCtrlD.dll";
#else
constexpr const char* kReleaseLibrary = MIREL_DLL_PATH;
constexpr const char* kDebugLibrary = MIREL_DLL_D_PATH;
#endif
