#include "help_window_support.h"

#include <cstdio>
#include <filesystem>

#include "kelmard.h"
#include "rfh.h"

namespace hwtest {

Installation::Installation() {
    CreateDirectoryA(HelpFolder().c_str(), nullptr);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD size = sizeof previous_, type = 0;
    hadPrevious_ = RegQueryValueExA(key, "DestDir", nullptr, &type, reinterpret_cast<BYTE*>(previous_), &size) ==
                       ERROR_SUCCESS &&
                   type == REG_SZ;
    recorded_ = RegSetValueExA(key, "DestDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(path().c_str()),
                               static_cast<DWORD>(path().size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(key);
}

Installation::~Installation() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    if (hadPrevious_)
        RegSetValueExA(key, "DestDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                       static_cast<DWORD>(strlen(previous_) + 1));
    else
        RegDeleteValueA(key, "DestDir");
    RegCloseKey(key);
}

bool Installation::ForgetDestDir() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return true;
    const LONG rc = RegDeleteValueA(key, "DestDir");
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool Installation::WriteHelpFile(const std::string& file, const std::map<unsigned, std::string>& topics) {
    return MakeHelpFile(folder_, file, topics);
}

bool MakeHelpFile(const htest::TempFolder& scratch, const std::string& file,
                  const std::map<unsigned, std::string>& topics) {
    static int serial = 0;
    const std::string sources = scratch.File("topics-" + std::to_string(++serial));
    std::filesystem::create_directory(sources);
    for (const auto& [id, body] : topics)
        if (!htest::WriteBytes(sources + "\\" + std::to_string(id) + ".rtf", body)) return false;
    const std::string target = scratch.File("Help\\" + file);
    std::FILE* sink = std::tmpfile();
    int rc = 0;
    if (topics.empty()) {
        // A help file without topics: rfh wants one to start with.
        htest::WriteBytes(sources + "\\1.rtf", "gone");
        const char* create[] = {"rfh", "create", target.c_str(), sources.c_str()};
        const char* remove[] = {"rfh", "delete", target.c_str(), "1"};
        rc = rfh::Run(4, create, sink, sink) | rfh::Run(4, remove, sink, sink);
    } else {
        const char* create[] = {"rfh", "create", target.c_str(), sources.c_str()};
        rc = rfh::Run(4, create, sink, sink);
    }
    if (sink) std::fclose(sink);
    std::error_code ec;
    std::filesystem::remove_all(sources, ec);
    return rc == 0;
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

namespace {
BOOL CALLBACK CollectPopup(HWND window, LPARAM param) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (strcmp(name, "FxHelp Window") == 0) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> Popups() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string PopupText(HWND popup) {
    HWND child = GetWindow(popup, GW_CHILD);
    if (!child) return "(no child)";
    char text[4096] = "";
    GetWindowTextA(child, text, sizeof text);
    return text;
}

void DestroyPopups() {
    for (HWND popup : Popups()) DestroyWindow(popup);
    Pump(20);
}

}  // namespace hwtest
