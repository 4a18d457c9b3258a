#include "picture.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdlib>
#include <cstring>

namespace kpicture {
namespace {

// A memory DC with a 32-bit top-down DIB section selected; the old bitmap is
// put back and everything freed on destruction.
class DibCanvas {
public:
    DibCanvas(int width, int height) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    ~DibCanvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool ok() const { return old_ != nullptr && bits_ != nullptr; }
    HDC dc() const { return dc_; }
    Image Take() const {
        Image image;
        if (!ok()) return image;
        GdiFlush();
        image.width = width_;
        image.height = height_;
        image.pixels.resize(static_cast<std::size_t>(width_) * height_);
        std::memcpy(image.pixels.data(), bits_, image.pixels.size() * 4);
        return image;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T** put() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

Image CaptureDC(HDC dc, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    DibCanvas canvas(width, height);
    if (!canvas.ok() || !BitBlt(canvas.dc(), 0, 0, width, height, dc, x, y, SRCCOPY)) return {};
    return canvas.Take();
}

Image CaptureWindow(HWND window, bool clientOnly) {
    RECT r{};
    if (clientOnly ? !GetClientRect(window, &r) : !GetWindowRect(window, &r)) return {};
    HDC dc = clientOnly ? GetDC(window) : GetWindowDC(window);
    if (!dc) return {};
    Image image = CaptureDC(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    ReleaseDC(window, dc);
    return image;
}

Image PrintWindowImage(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return {};
    DibCanvas canvas(r.right - r.left, r.bottom - r.top);
    if (!canvas.ok()) return {};
    SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    return canvas.Take();
}

Image FromBitmap(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return {};
    Image image;
    image.width = bm.bmWidth;
    image.height = bm.bmHeight;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.width;
    bi.bmiHeader.biHeight = -image.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    const int lines = GetDIBits(dc, bitmap, 0, image.height, image.pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines != image.height) return {};
    return image;
}

bool WritePng(const Image& image, const std::string& path, bool keepAlpha) {
    if (image.empty()) return false;
    std::vector<std::uint32_t> pixels = image.pixels;
    if (!keepAlpha)
        for (auto& p : pixels) p |= 0xFF000000u;

    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    {
        ComPtr<IWICImagingFactory> factory;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        std::wstring wide(path.size() + 1, L'\0');
        const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                          static_cast<int>(wide.size()));
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        ok = n > 0 &&
             SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWICImagingFactory,
                                        reinterpret_cast<void**>(factory.put()))) &&
             SUCCEEDED(factory->CreateStream(stream.put())) &&
             SUCCEEDED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)) &&
             SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) &&
             SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
             SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) &&
             SUCCEEDED(frame->Initialize(nullptr)) &&
             SUCCEEDED(frame->SetSize(image.width, image.height)) &&
             SUCCEEDED(frame->SetPixelFormat(&format)) &&
             IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) &&
             SUCCEEDED(frame->WritePixels(image.height, image.width * 4,
                                          static_cast<UINT>(pixels.size() * 4),
                                          reinterpret_cast<BYTE*>(pixels.data()))) &&
             SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

int CountColour(const Image& image, std::uint32_t rgb, int tolerance) {
    int count = 0;
    for (std::uint32_t p : image.pixels) {
        const int dr = std::abs(static_cast<int>((p >> 16) & 0xFF) - static_cast<int>((rgb >> 16) & 0xFF));
        const int dg = std::abs(static_cast<int>((p >> 8) & 0xFF) - static_cast<int>((rgb >> 8) & 0xFF));
        const int db = std::abs(static_cast<int>(p & 0xFF) - static_cast<int>(rgb & 0xFF));
        if (dr <= tolerance && dg <= tolerance && db <= tolerance) ++count;
    }
    return count;
}

}  // namespace kpicture
