// The file layer under the tagged container: the few file operations the
// container needs, behind one small interface. Reads and writes name their
// position, so a handle keeps no position anyone relies on. The library uses
// the Win32 implementation (file_win32.cpp); native builds use the POSIX one
// (file_posix.cpp). Tests and the fuzz target put their own layer in place
// (files in memory, or failures injected into the real files).
//
// Nothing here includes <windows.h>: the container's format logic builds and
// runs on any platform.
#pragma once
#include <cstdint>

#include "owners/unique_owner.h"

namespace kelmard {

// An open file of the layer; null means none.
using FileHandle = void*;

class FileLayer {
public:
    virtual ~FileLayer() = default;

    // Opens an existing file for reading, or for reading and writing. Others
    // may read the file meanwhile, nobody else may write it.
    virtual FileHandle OpenExisting(const char* path, bool writable) = 0;
    // Creates a file for reading and writing (emptying one that exists);
    // nobody else may open it meanwhile.
    virtual FileHandle CreateAlways(const char* path) = 0;
    // A new, empty file in the temporary folder, deleted when it is closed.
    virtual FileHandle CreateTemporary() = 0;

    // One transfer of up to `size` bytes at `offset` bytes from the start;
    // `done` says how many moved. A read stops short at the end of the file.
    // False when the system reports a failure (then `done` may be short).
    virtual bool ReadAt(FileHandle file, uint64_t offset, void* buffer, uint32_t size,
                        uint32_t& done) = 0;
    virtual bool WriteAt(FileHandle file, uint64_t offset, const void* buffer, uint32_t size,
                         uint32_t& done) = 0;
    // The file's size in bytes.
    virtual bool Size(FileHandle file, uint64_t& size) = 0;
    // Makes everything written so far durable.
    virtual bool Flush(FileHandle file) = 0;
    virtual void Close(FileHandle file) = 0;

    // Puts the file `from` in the place of `to` in one step: whoever opens
    // `to` sees either the old file or the new one, never neither.
    virtual bool Replace(const char* from, const char* to) = 0;
    virtual bool Remove(const char* path) = 0;
};

// The layer for this platform (Win32 or POSIX).
FileLayer& PlatformFileLayer();

// The layer the container classes use: the platform's unless another was put
// in place. UseFileLayer(nullptr) restores the platform's. Not synchronised:
// a test changes it while no container is in use.
FileLayer& Files();
FileLayer* UseFileLayer(FileLayer* layer);

// Closes a file through the layer in use.
void CloseFile(FileHandle file) noexcept;
// The owner of a file of the layer.
using LayerFile = UniqueOwner<NullEmptyTraits<FileHandle, CloseFile>>;

// Reads or writes all of `size` bytes at `offset`: false when the layer fails
// or moves fewer. Size 0 calls nothing.
bool ReadWhole(FileHandle file, uint64_t offset, void* buffer, uint32_t size);
bool WriteWhole(FileHandle file, uint64_t offset, const void* buffer, uint32_t size);

}  // namespace kelmard
