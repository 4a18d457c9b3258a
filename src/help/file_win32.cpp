// The file layer on Win32: what KELMARD.DLL and the Windows tools use. Files
// are synchronous handles; a read or write at a position passes the position
// in an OVERLAPPED block (Windows 7 and Wine alike).
#include <windows.h>

#include "help/file_layer.h"
#include "owners/win32_owners.h"

namespace kelmard {
namespace {

HANDLE H(FileHandle file) { return static_cast<HANDLE>(file); }

FileHandle Handed(UniqueFile file) { return file ? file.release() : nullptr; }

OVERLAPPED At(uint64_t offset) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

class Win32Files final : public FileLayer {
public:
    FileHandle OpenExisting(const char* path, bool writable) override {
        const DWORD access = writable ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
        return Handed(UniqueFile(CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr)));
    }

    FileHandle CreateAlways(const char* path) override {
        return Handed(UniqueFile(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
    }

    FileHandle CreateTemporary() override {
        char folder[MAX_PATH + 1];
        const DWORD n = GetTempPathA(sizeof folder, folder);
        // GetTempFileNameA needs room for its own 14 characters.
        if (n == 0 || n > MAX_PATH - 14) lstrcpyA(folder, ".");
        char name[MAX_PATH];
        if (GetTempFileNameA(folder, "RFX", 0, name) == 0) return nullptr;
        UniqueFile file(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE |
                                        FILE_FLAG_RANDOM_ACCESS,
                                    nullptr));
        if (!file) DeleteFileA(name);  // GetTempFileNameA made it; nobody else will delete it
        return Handed(std::move(file));
    }

    bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) override {
        OVERLAPPED at = At(offset);
        DWORD n = 0;
        const BOOL ok = ReadFile(H(file), buffer, size, &n, &at);
        done = n;
        // With a position, a read that starts at or past the end answers EOF.
        return ok != FALSE || GetLastError() == ERROR_HANDLE_EOF;
    }

    bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size,
                 uint32_t& done) override {
        OVERLAPPED at = At(offset);
        DWORD n = 0;
        const BOOL ok = WriteFile(H(file), buffer, size, &n, &at);
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
