// A temporary installation folder recorded as DestDir for the test's run;
// the previous DestDir comes back afterwards.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

#include "kelmard.h"

namespace ktest {

class InstallFolder {
public:
    InstallFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "kelmard-media-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount64());
        CreateDirectoryA(path_.c_str(), nullptr);
        CreateDirectoryA((path_ + "\\Presets").c_str(), nullptr);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, nullptr, 0,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof previous_, type = 0;
        hadPrevious_ = RegQueryValueExA(key, "DestDir", nullptr, &type,
                                        reinterpret_cast<BYTE*>(previous_), &size) == ERROR_SUCCESS &&
                       type == REG_SZ;
        recorded_ = RegSetValueExA(key, "DestDir", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(path_.c_str()),
                                   static_cast<DWORD>(path_.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~InstallFolder() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, QVR_SETTINGS_ROOT, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            if (hadPrevious_)
                RegSetValueExA(key, "DestDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_),
                               static_cast<DWORD>(strlen(previous_) + 1));
            else
                RegDeleteValueA(key, "DestDir");
            RegCloseKey(key);
        }
        DeleteFileA(Cfg().c_str());
        RemoveDirectoryA((path_ + "\\Presets").c_str());
        RemoveDirectoryA(path_.c_str());
    }
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    bool recorded() const { return recorded_; }
    const std::string& path() const { return path_; }
    std::string Cfg() const { return path_ + "\\Presets\\TvFormats.cfg"; }
    bool WriteCfg(const std::string& text) const {
        FILE* f = std::fopen(Cfg().c_str(), "wb");
        if (!f) return false;
        const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    std::string path_;
    char previous_[MAX_PATH] = "";
    bool hadPrevious_ = false;
    bool recorded_ = false;
};

}  // namespace ktest
