// The file layer on Win32: what KELMARD.DLL and the Windows tools use.
#include <windows.h>

#include "help/file_layer.h"

namespace kelmard {
namespace {

HANDLE H(FileHandle file) { return static_cast<HANDLE>(file); }

FileHandle FromCreate(HANDLE h) { return h == INVALID_HANDLE_VALUE ? nullptr : h; }

class Win32Files final : public FileLayer {
public:
    FileHandle OpenExisting(const char* path, bool writable) override {
        const DWORD access = writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
        return FromCreate(CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr));
    }

    FileHandle CreateAlways(const char* path) override {
        return FromCreate(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    FileHandle CreateTemporary() override {
        char folder[MAX_PATH + 1];
        const DWORD n = GetTempPathA(sizeof folder, folder);
        // GetTempFileNameA needs room for its own 14 characters.
        if (n == 0 || n > MAX_PATH - 14) lstrcpyA(folder, ".");
        char name[MAX_PATH];
        if (GetTempFileNameA(folder, "RFX", 0, name) == 0) return nullptr;
        HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE |
                                   FILE_FLAG_RANDOM_ACCESS,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            DeleteFileA(name);  // GetTempFileNameA made it; nobody else will delete it
            return nullptr;
        }
        return h;
    }

    bool Seek(FileHandle file, uint32_t position) override {
        LONG high = 0;  // with a high part the low part counts unsigned: up to 4 GiB
        SetLastError(NO_ERROR);
        const DWORD low = SetFilePointer(H(file), static_cast<LONG>(position), &high, FILE_BEGIN);
        return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
    }

    bool Read(FileHandle file, void* buffer, uint32_t size, uint32_t& done) override {
        DWORD n = 0;
        const BOOL ok = ReadFile(H(file), buffer, size, &n, nullptr);
        done = n;
        return ok != FALSE;
    }

    bool Write(FileHandle file, const void* buffer, uint32_t size, uint32_t& done) override {
        DWORD n = 0;
        const BOOL ok = WriteFile(H(file), buffer, size, &n, nullptr);
        done = n;
        return ok != FALSE;
    }

    bool Size(FileHandle file, uint64_t& size) override {
        LARGE_INTEGER s;
        if (!GetFileSizeEx(H(file), &s)) return false;
        size = static_cast<uint64_t>(s.QuadPart);
        return true;
    }

    bool Flush(FileHandle file) override { return FlushFileBuffers(H(file)) != FALSE; }

    void Close(FileHandle file) override { CloseHandle(H(file)); }

    bool Replace(const char* from, const char* to) override {
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    bool Remove(const char* path) override { return DeleteFileA(path) != FALSE; }
};

}  // namespace

FileLayer& PlatformFileLayer() {
    static Win32Files files;
    return files;
}

}  // namespace kelmard
