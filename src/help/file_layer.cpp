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

}  // namespace kelmard
