// Stage names and the strings built from them. Portable: no platform calls.
#pragma once
#include <cstddef>

namespace kelmard {

// The stages the library knows, in the order detection tries them. The same
// names are the base names of their libraries and name their option blocks.
constexpr int kKnownStageCount = 3;
extern const char* const kKnownStages[kKnownStageCount];

// "\Stages\" + name + ".DLL" into `suffix` (`capacity` bytes with the NUL).
// False, with an empty suffix, when it does not fit.
bool BuildStageSuffix(const char* name, char* suffix, std::size_t capacity);

// Copies at most `capacity` - 1 characters of `source` and always ends with a
// NUL. Nothing is written when `capacity` is 0.
void CopyTerminated(char* dest, std::size_t capacity, const char* source);

}  // namespace kelmard
