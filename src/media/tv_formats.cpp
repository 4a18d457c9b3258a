// The TV format table: read once at process attach from the installation's
// presets, asked by scenes through QVRCheckVideoFormat.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "frame/frame.h"
#include "frame/trace.h"
#include "kelmard.h"
#include "media/media.h"
#include "media/tv_format_parse.h"

namespace kelmard {
namespace {

using media::TvFormat;

constexpr DWORD kSectionNamesChars = 2048;
constexpr DWORD kValueChars = 40;

TvFormat* g_formats = nullptr;
int g_formatCount = 0;

void ReadValue(const char* section, const char* key, const char* file, char (&value)[kValueChars]) {
    GetPrivateProfileStringA(section, key, "", value, kValueChars, file);
}

int CountNames(const char* names) {
    int count = 0;
    for (const char* p = names; *p; p += std::strlen(p) + 1) ++count;
    return count;
}

// Reads one section into `record`; false (with its trace) when it is malformed.
bool ReadFormat(const char* section, const char* file, TvFormat& record) {
    KTRACE("Reading Format: %s\n", section);
    char value[kValueChars];
    ReadValue(section, "Frame", file, value);
    if (!media::ParseFrameSize(value, record.width, record.height)) {
        KTRACE("Failed reading frame size: %s\n", value);
        return false;
    }
    ReadValue(section, "PAspect", file, value);
    record.aspect = media::ParsePixelAspect(value);
    ReadValue(section, "Underscan", file, value);
    if (!media::ParseUnderscan(value, record.underscan)) {
        KTRACE("Failed reading underscan area: %s\n", value);
        return false;
    }
    return true;
}

}  // namespace

int LoadTvFormats() {
    char file[kPathChars];
    if (!BuildInstallPath("\\Presets\\TvFormats.cfg", file)) return 0;

    char names[kSectionNamesChars] = {};
    const DWORD got = GetPrivateProfileStringA(nullptr, nullptr, "", names, kSectionNamesChars, file);
    if (got == 0 || names[0] == '\0') {
        KTRACE("Read %i TV formats\n", g_formatCount);
        return 1;
    }
    g_formatCount = 0;
    const int sections = CountNames(names);
    g_formats = new (std::nothrow) TvFormat[sections]();
    if (!g_formats) return 0;

    for (const char* section = names; *section; section += std::strlen(section) + 1) {
        TvFormat& record = g_formats[g_formatCount];
        if (!ReadFormat(section, file, record)) continue;
        KTRACE("TV Format(%2i) = (%3i,%3i), %1.3f, (%3i,%3i - %3i,%3i)\n", g_formatCount,
               record.width, record.height, static_cast<double>(record.aspect),
               record.underscan[0], record.underscan[1], record.underscan[2], record.underscan[3]);
        ++g_formatCount;
    }
    KTRACE("Read %i TV formats\n", g_formatCount);
    return 1;
}

void FreeTvFormats() {
    delete[] g_formats;
    g_formats = nullptr;
    g_formatCount = 0;
}

}  // namespace kelmard

extern "C" KELMARD_API int QVRAPI QVRCheckVideoFormat(DWORD frameSize, float* aspect,
                                                      short* underscan) {
    using namespace kelmard;
    if (g_formatCount < 1) return 0;
    const TvFormat* match = media::FindTvFormat(g_formats, g_formatCount, frameSize);
    if (!match) return 0;
    if (aspect) *aspect = match->aspect;
    if (underscan) std::memcpy(underscan, match->underscan, sizeof match->underscan);
    return 1;
}
