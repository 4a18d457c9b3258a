// The dialog entry points: a plug-in's ordinary template, converted to name
// the skinned classes, run or created by the system dialog manager.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>

#include "controls/framework/dialog_entry.h"
#include "controls/framework/dialog_template.h"
#include "frame/frame.h"
#include "frame/trace.h"
#include "kelmard.h"

namespace kelmard {

const void* LoadDialogTemplate(HINSTANCE instance, const char* name, std::size_t* size) {
    if (size) *size = 0;
    const HRSRC found = FindResourceA(instance, name, reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!found) return nullptr;
    const HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) return nullptr;
    const void* bytes = LockResource(loaded);
    if (bytes && size) *size = SizeofResource(instance, found);
    return bytes;
}

namespace {

// A library class stands in for a system class only once it is registered.
bool LibraryClassRegistered(const char* name) {
    WNDCLASSA info;
    return GetClassInfoA(ModuleHandle(), name, &info) != FALSE;
}

// An in-memory template carries no size, but the memory holding it does: the
// readable committed bytes from `address` on, region after region, up to the
// first region that is free, reserved, a guard page or not readable.
std::size_t ReadableBytesFrom(const void* address) {
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const auto* at = static_cast<const std::uint8_t*>(address);
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State != MEM_COMMIT || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
            !(region.Protect & kReadable))
            break;
        const auto* end = static_cast<const std::uint8_t*>(region.BaseAddress) + region.RegionSize;
        if (end <= at) break;
        total += static_cast<std::size_t>(end - at);
        at = end;
    }
    return total;
}

}  // namespace

ConvertedTemplate::ConvertedTemplate(const void* source, std::size_t size) {
    const std::size_t bytes = ConvertDialogTemplate(source, size, nullptr, LibraryClassRegistered);
    if (bytes == 0) {
        overrun_ = source != nullptr;
        return;
    }
    // 4-byte aligned, as the dialog manager wants its templates.
    copy_.reset(new (std::nothrow) std::uint32_t[(bytes + 3) / 4]);
    if (!copy_) return;  // out of memory: the caller uses the template as it is
    if (ConvertDialogTemplate(source, size, copy_.get(), LibraryClassRegistered) != bytes) copy_.reset();
}

namespace {

// Converts and runs a template whose size is known (a resource) or not.
INT_PTR RunDialog(HINSTANCE instance, const void* source, std::size_t size, HWND owner, DLGPROC procedure,
                  LPARAM init) {
    if (!source) return -1;  // no template: no dialog (the system would read through null)
    ConvertedTemplate converted(source, size);
    if (converted.overrun()) return -1;
    const void* use = converted.get() ? converted.get() : source;
    return DialogBoxIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(use), owner, procedure, init);
}

}  // namespace

INT_PTR DialogBoxFromResource(HINSTANCE instance, const char* name, HWND owner, DLGPROC procedure, LPARAM init) {
    std::size_t size = 0;
    const void* source = LoadDialogTemplate(instance, name, &size);
    if (!source) return -1;
    return RunDialog(instance, source, size, owner, procedure, init);
}

}  // namespace kelmard


extern "C" KELMARD_API INT_PTR QVRAPI WKDialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC procedure) {
    return kelmard::DialogBoxFromResource(instance, name, owner, procedure, 0);
}

extern "C" KELMARD_API INT_PTR QVRAPI WKDialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner,
                                                      DLGPROC procedure, LPARAM init) {
    return kelmard::DialogBoxFromResource(instance, name, owner, procedure, init);
}

extern "C" KELMARD_API INT_PTR QVRAPI WKDialogBoxIndirectParam(HINSTANCE instance, LPCDLGTEMPLATEA source,
                                                              HWND owner, DLGPROC procedure, LPARAM init) {
    if (!source) return -1;
    return kelmard::RunDialog(instance, source, kelmard::ReadableBytesFrom(source), owner, procedure, init);
}

extern "C" KELMARD_API INT_PTR QVRAPI WKDialogBoxIndirect(HINSTANCE instance, LPCDLGTEMPLATEA source, HWND owner,
                                                         DLGPROC procedure) {
    return WKDialogBoxIndirectParam(instance, source, owner, procedure, 0);
}

extern "C" KELMARD_API HWND QVRAPI WKCreateDialogIndirectParam(HINSTANCE instance, LPCDLGTEMPLATEA source,
                                                              HWND owner, DLGPROC procedure, LPARAM init) {
    if (!source) return nullptr;
    // The copy is freed as soon as the dialog exists. A template running past
    // its readable memory makes no dialog, as a truncated resource.
    kelmard::ConvertedTemplate converted(source, kelmard::ReadableBytesFrom(source));
    if (converted.overrun()) return nullptr;
    const void* use = converted.get() ? converted.get() : source;
    return CreateDialogIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(use), owner, procedure, init);
}

extern "C" KELMARD_API HWND QVRAPI WKCreateDialogIndirect(HINSTANCE instance, LPCDLGTEMPLATEA source, HWND owner,
                                                         DLGPROC procedure) {
    return WKCreateDialogIndirectParam(instance, source, owner, procedure, 0);
}
