// Fuzz target: arbitrary bytes given to the dialog template converter with
// their size as its bound. A finding is a sanitizer report (a read past the
// bytes, a write past the measured copy) or a broken rule: measuring and
// converting answer the same size, and converting the copy again gives the
// same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "controls/framework/dialog_template.h"

namespace {

[[noreturn]] void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kelmard::ConvertDialogTemplate;
    const std::size_t measured = ConvertDialogTemplate(data, size, nullptr);
    if (measured == 0) return 0;
    // A copy of exactly the measured size, 4-byte aligned as the entry points make it.
    std::unique_ptr<std::uint32_t[]> block(new std::uint32_t[(measured + 3) / 4]);
    auto* copy = reinterpret_cast<std::uint8_t*>(block.get());
    if (ConvertDialogTemplate(data, size, copy) != measured) Finding("measure and convert disagree");
    // The copy is a template in its own right: converting it changes nothing.
    std::unique_ptr<std::uint32_t[]> again(new std::uint32_t[(measured + 3) / 4]);
    auto* second = reinterpret_cast<std::uint8_t*>(again.get());
    if (ConvertDialogTemplate(copy, measured, nullptr) != measured) Finding("the copy measures differently");
    if (ConvertDialogTemplate(copy, measured, second) != measured) Finding("the copy converts differently");
    if (std::memcmp(copy, second, measured) != 0) Finding("converting the copy changed it");
    return 0;
}
