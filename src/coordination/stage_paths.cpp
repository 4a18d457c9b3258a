// Stage names and the strings built from them.
#include "coordination/stage_paths.h"

#include <cstring>

namespace kelmard {

const char* const kKnownStages[kKnownStageCount] = {"D3D7CDI", "OPENGL", "D3D7UNI"};

bool BuildStageSuffix(const char* name, char* suffix, std::size_t capacity) {
    static const char kFolder[] = "\\Stages\\";
    static const char kExtension[] = ".DLL";
    const std::size_t folder = sizeof kFolder - 1, base = std::strlen(name);
    if (capacity == 0) return false;
    if (folder + base + sizeof kExtension > capacity) {
        suffix[0] = '\0';
        return false;
    }
    std::memcpy(suffix, kFolder, folder);
    std::memcpy(suffix + folder, name, base);
    std::memcpy(suffix + folder + base, kExtension, sizeof kExtension);
    return true;
}

void CopyTerminated(char* dest, std::size_t capacity, const char* source) {
    if (capacity == 0) return;
    const std::size_t length = std::strlen(source);
    const std::size_t copied = length < capacity ? length : capacity - 1;
    std::memcpy(dest, source, copied);
    dest[copied] = '\0';
}

}  // namespace kelmard
