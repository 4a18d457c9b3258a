// Picture loading through the system picture decoder, and the file-open
// dialog. Every object made on the way has one owner; any failure answers null.
#include <windows.h>
#include <commdlg.h>
#include <olectl.h>

#include <utility>

#include "owners/win32_owners.h"
#include "kelmard.h"
#include "media/dib.h"

namespace kelmard::media {
namespace {

constexpr long kHimetricPerInch = 2540;

// The whole file in a movable global block; null when it cannot be read
// completely (a missing, empty or unreadable file).
UniqueGlobal ReadWholeFile(const char* fileName, DWORD& size) {
    UniqueFile file(CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    DWORD high = 0;
    size = GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE || size == 0 || high != 0) return nullptr;
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block.get()) return nullptr;
    void* data = GlobalLock(block.get());
    if (!data) return nullptr;
    DWORD read = 0;
    const BOOL ok = ReadFile(file.get(), data, size, &read, nullptr);
    GlobalUnlock(block.get());
    if (!ok || read != size) return {};
    return block;
}

bool DecodePicture(UniqueGlobal block, DWORD size, ComRef<IPicture>& picture) {
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.put())) || !stream) return false;
    (void)block.release();  // the stream frees the block now
    const HRESULT hr = OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(picture.put()));
    return SUCCEEDED(hr) && picture;
}

// Draws the picture upright into a new zeroed 32-bit DIB section of its size
// on the screen.
HBITMAP RenderPicture(IPicture* picture) {
    WindowDC screen(nullptr);
    if (!screen) return nullptr;
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    if (FAILED(picture->get_Width(&himetricWidth)) || FAILED(picture->get_Height(&himetricHeight)))
        return nullptr;
    const int width = MulDiv(himetricWidth, GetDeviceCaps(screen.get(), LOGPIXELSX), kHimetricPerInch);
    const int height = MulDiv(himetricHeight, GetDeviceCaps(screen.get(), LOGPIXELSY), kHimetricPerInch);

    UniqueBitmap result = CreateDib32(screen.get(), width, height, nullptr);
    if (!result) return nullptr;
    UniqueMemoryDC memory(CreateCompatibleDC(screen.get()));
    if (!memory) return nullptr;
    {
        SelectGuard select(memory.get(), result.get());
        if (!select) return nullptr;
        // HIMETRIC runs upwards: a negative source height draws the picture upright.
        if (FAILED(picture->Render(memory.get(), 0, 0, width, height, 0, himetricHeight,
                                   himetricWidth, -himetricHeight, nullptr)))
            return nullptr;
    }
    GdiFlush();
    return result.release();
}

}  // namespace
}  // namespace kelmard::media

extern "C" KELMARD_API int QVRAPI QVRGetOpenFileName(OPENFILENAMEA* ofn) {
    if (!ofn) return 0;  // the system would fault on it
    return GetOpenFileNameA(ofn);
}

extern "C" KELMARD_API HBITMAP QVRAPI QVRLoadImage(const char* fileName) {
    using namespace kelmard::media;
    if (!fileName) return nullptr;
    DWORD size = 0;
    kelmard::UniqueGlobal block = ReadWholeFile(fileName, size);
    if (!block) return nullptr;
    kelmard::ComRef<IPicture> picture;
    if (!DecodePicture(std::move(block), size, picture)) return nullptr;
    return RenderPicture(picture.get());
}
