#include "media/tv_format_parse.h"

#include <cstdio>
#include <cstdlib>

namespace kelmard::media {

bool ParseFrameSize(const char* text, std::int16_t& width, std::int16_t& height) {
    short w = 0, h = 0;
    if (std::sscanf(text, "%hix%hi", &w, &h) < 2) return false;
    width = w;
    height = h;
    return true;
}

float ParsePixelAspect(const char* text) {
    const float aspect = static_cast<float>(std::atof(text));
    return aspect == 0.0f ? 1.0f : aspect;
}

bool ParseUnderscan(const char* text, std::int16_t (&underscan)[4]) {
    short u[4] = {};
    if (std::sscanf(text, "%hi, %hi, %hi, %hi", &u[0], &u[1], &u[2], &u[3]) < 4) return false;
    for (int i = 0; i < 4; ++i) underscan[i] = u[i];
    return true;
}

const TvFormat* FindTvFormat(const TvFormat* table, int count, std::uint32_t frameSize) {
    const auto width = static_cast<std::int16_t>(frameSize & 0xFFFFu);
    const auto height = static_cast<std::int16_t>(frameSize >> 16);
    for (int i = 0; i < count; ++i) {
        if (table[i].width == width && table[i].height == height) return &table[i];
    }
    return nullptr;
}

}  // namespace kelmard::media
