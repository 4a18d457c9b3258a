#include "help/file_layer.h"

namespace kelmard {
namespace {
FileLayer* g_layer = nullptr;
}  // namespace

FileLayer& Files() { return g_layer ? *g_layer : PlatformFileLayer(); }

FileLayer* UseFileLayer(FileLayer* layer) {
    FileLayer* previous = g_layer;
    g_layer = layer;
    return previous;
}

void CloseFile(FileHandle file) noexcept { Files().Close(file); }

bool ReadWhole(FileHandle file, uint64_t offset, void* buffer, uint32_t size) {
    uint32_t done = 0;
    return size == 0 || (Files().ReadAt(file, offset, buffer, size, done) && done == size);
}

bool WriteWhole(FileHandle file, uint64_t offset, const void* buffer, uint32_t size) {
    uint32_t done = 0;
    return size == 0 || (Files().WriteAt(file, offset, buffer, size, done) && done == size);
}

}  // namespace kelmard
