// The dialog entry points' helpers: templates from resources and the
// converted copy a dialog call owns.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kelmard {

// The RT_DIALOG resource `name` (a string or an integer id) of `instance`
// and its size in bytes; null when any step fails.
const void* LoadDialogTemplate(HINSTANCE instance, const char* name, std::size_t* size);

// A converted copy of a template, owned for one dialog call. get() is null
// when the copy could not be made: then overrun() tells a template that runs
// past its known size from a lack of memory (the template is then used as
// it is, with the system's controls).
class ConvertedTemplate {
public:
    ConvertedTemplate(const void* source, std::size_t size);
    ConvertedTemplate(const ConvertedTemplate&) = delete;
    ConvertedTemplate& operator=(const ConvertedTemplate&) = delete;
    const void* get() const { return copy_.get(); }
    bool overrun() const { return overrun_; }

private:
    std::unique_ptr<std::uint32_t[]> copy_;
    bool overrun_ = false;
};

// WKDialogBoxParam: the template resource converted and run modally; -1 when
// the resource is missing or runs past its size.
INT_PTR DialogBoxFromResource(HINSTANCE instance, const char* name, HWND owner, DLGPROC procedure, LPARAM init);

}  // namespace kelmard
