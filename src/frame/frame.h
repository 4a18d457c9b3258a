// The library frame: module handle, settings below the settings root, the
// installation folder, and the block shared by every process.
#pragma once
#include <windows.h>
#include <cstddef>

namespace kelmard {

// The library's own module (instance) handle; null outside attach..detach.
HINSTANCE ModuleHandle();
// True while process detach runs because the whole process is ending: then
// nothing may wait for other processes or free libraries.
bool ProcessIsExiting();

// Settings below "SOFTWARE\Quorvane\Flarix Vortane". `subKey` may be null
// (the root itself), `defaultData` may be null (no default). Reads answer 1
// when the value was read, else 0; with a default, the buffer then holds the
// default (`size` bytes of it). A string (REG_SZ) read accepts REG_SZ data
// only, and only data whose terminating NUL lies inside the buffer.
int ReadMachineSetting(DWORD type, const char* subKey, const char* valueName, void* buffer,
                       DWORD size, const void* defaultData);
int ReadUserSetting(DWORD type, const char* subKey, const char* valueName, void* buffer,
                    DWORD size, const void* defaultData);
// Writes below HKEY_CURRENT_USER, creating missing keys. 1 on success, else 0.
int WriteUserSetting(DWORD type, const char* subKey, const char* valueName, const void* data,
                     DWORD size);

constexpr std::size_t kPathChars = 256;

// The installation folder "DestDir" (machine settings) into a 256-character
// buffer. Answers false when it cannot be read.
bool ReadInstallFolder(char (&folder)[kPathChars]);
// DestDir followed by `suffix` (which starts with a backslash) into a
// 256-character buffer. Answers false, with an empty path, when DestDir cannot
// be read or the whole path does not fit: the caller acts as if DestDir were
// missing.
bool BuildInstallPath(const char* suffix, char (&path)[kPathChars]);

// The stage update serial in the shared block (counts QVRUpdateStage calls
// in every process).
DWORD StageUpdateSerial();
DWORD AdvanceStageUpdateSerial();

}  // namespace kelmard
