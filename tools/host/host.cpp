#include "host.h"

#include <vector>

namespace khost {

void PumpMessages(DWORD ms, HWND dialog) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && IsDialogMessageA(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}

void PumpUntilQuiet() {
    for (int quiet = 0; quiet < 3;) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++quiet;
            Sleep(10);
            continue;
        }
        quiet = 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string ExePath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}

std::string ExeFolder() {
    const std::string path = ExePath();
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

kelmard::UniqueHandle StartProcess(const std::string& program, const std::string& arguments,
                                   DWORD* pid, bool inheritHandles) {
    const std::string command = "\"" + program + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0,
                        nullptr, nullptr, &startup, &started))
        return nullptr;
    kelmard::UniqueHandle thread(started.hThread);
    if (pid) *pid = started.dwProcessId;
    return kelmard::UniqueHandle(started.hProcess);
}

DWORD WaitForExit(HANDLE process, DWORD ms) {
    DWORD code = STILL_ACTIVE;
    if (process && WaitForSingleObject(process, ms) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    return code;
}

bool WriteRegValue(HKEY hive, const std::string& path, const char* name, DWORD type,
                   const void* data, DWORD size) {
    kelmard::UniqueKey key;
    return RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                           nullptr) == ERROR_SUCCESS &&
           RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) ==
               ERROR_SUCCESS;
}

bool WriteRegString(HKEY hive, const std::string& path, const char* name, const std::string& text) {
    return WriteRegValue(hive, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ReadRegString(HKEY hive, const std::string& path, const char* name, std::string& text) {
    char buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueA(hive, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    text = buffer;
    return true;
}

RegStringScope::RegStringScope(HKEY hive, std::string path, const char* name, const std::string& text)
    : hive_(hive), path_(std::move(path)), name_(name) {
    hadPrevious_ = ReadRegString(hive_, path_, name, previous_);
    written_ = WriteRegString(hive_, path_, name, text);
}

RegStringScope::~RegStringScope() {
    if (hadPrevious_) WriteRegString(hive_, path_, name_.c_str(), previous_);
    else RegDeleteKeyValueA(hive_, path_.c_str(), name_.c_str());
}

}  // namespace khost
