// The file layer on POSIX systems: what the native builds (tests, fuzz target,
// the authoring tool on the build machine) use.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "help/file_layer.h"

namespace kelmard {
namespace {

// A descriptor: -1 owns nothing.
struct DescriptorTraits {
    using Type = int;
    static int Empty() noexcept { return -1; }
    static bool Holds(int fd) noexcept { return fd >= 0; }
    static void Release(int fd) noexcept { close(fd); }
};
using UniqueFd = UniqueOwner<DescriptorTraits>;

// A descriptor travels as descriptor + 1, so that null means none.
int Fd(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }
FileHandle Handed(UniqueFd fd) {
    return fd ? reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd.release()) + 1) : nullptr;
}

// Regular files only: a folder cannot be opened as a file on Windows either.
FileHandle CheckedRegular(UniqueFd fd) {
    struct stat st;
    if (fd && (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))) return nullptr;
    return Handed(std::move(fd));
}

// The folder part of `path` ("." when there is none), for syncing a rename.
void SyncFolderOf(const char* path) {
    char folder[4096] = ".";
    if (const char* slash = std::strrchr(path, '/')) {
        const size_t n = slash == path ? 1 : static_cast<size_t>(slash - path);  // "/" stays
        if (n >= sizeof folder) return;
        std::memcpy(folder, path, n);
        folder[n] = '\0';
    }
    const UniqueFd fd(open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) fsync(fd.get());
}

class PosixFiles final : public FileLayer {
public:
    FileHandle OpenExisting(const char* path, bool writable) override {
        return CheckedRegular(UniqueFd(open(path, (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC)));
    }

    FileHandle CreateAlways(const char* path) override {
        return CheckedRegular(UniqueFd(open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)));
    }

    FileHandle CreateTemporary() override {
        const char* folder = std::getenv("TMPDIR");
        if (!folder || !*folder) folder = "/tmp";
        char name[4096];
        if (std::snprintf(name, sizeof name, "%s/RFXXXXXXX", folder) >= static_cast<int>(sizeof name))
            return nullptr;
        UniqueFd fd(mkstemp(name));
        if (fd) unlink(name);  // gone with its last descriptor
        return Handed(std::move(fd));
    }

    bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size, uint32_t& done) override {
        done = 0;
        while (done < size) {
            const ssize_t n = pread(Fd(file), static_cast<char*>(buffer) + done, size - done,
                                    static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) break;  // end of file
            done += static_cast<uint32_t>(n);
        }
        return true;
    }

    bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size,
                 uint32_t& done) override {
        done = 0;
        while (done < size) {
            const ssize_t n = pwrite(Fd(file), static_cast<const char*>(buffer) + done, size - done,
                                     static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<uint32_t>(n);
        }
        return true;
    }

    bool Size(FileHandle file, uint64_t& size) override {
        struct stat st;
        if (fstat(Fd(file), &st) != 0) return false;
        size = static_cast<uint64_t>(st.st_size);
        return true;
    }

    bool Flush(FileHandle file) override { return fsync(Fd(file)) == 0; }

    void Close(FileHandle file) override { close(Fd(file)); }

    bool Replace(const char* from, const char* to) override {
        if (rename(from, to) != 0) return false;
        SyncFolderOf(to);
        return true;
    }

    bool Remove(const char* path) override { return unlink(path) == 0; }
};

}  // namespace

FileLayer& PlatformFileLayer() {
    static PosixFiles files;
    return files;
}

}  // namespace kelmard
