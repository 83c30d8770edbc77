// DialogPicture.cpp - a window's pixels as it shows them, and the pixels as PNG.
//
// The picture is copied from the window's own surface once every pending paint is done, rather
// than asked for with PrintWindow: WM_PRINT leaves out the frame and the child windows on some
// systems (Wine's among them), and controls that clip to their device rectangle paint nothing at
// an offset. The modal dialog the robot acts on is the topmost window, so its surface is whole.
#include "vel/robot/DialogPicture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/Utf.h"

namespace vel {

namespace {

// The picture as rows of 24-bit BGR pixels, each row padded to four bytes.
struct Picture {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> pixels;
};

Picture paint(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    Picture picture;
    picture.width = static_cast<UINT>(std::max(1L, rect.right - rect.left));
    picture.height = static_cast<UINT>(std::max(1L, rect.bottom - rect.top));
    picture.stride = (picture.width * 3 + 3) & ~3u;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(picture.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(picture.height);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!dc || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        return {};
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Without the blinking caret, whose phase would make each picture differ.
    const bool caretHidden = HideCaret(nullptr);
    HDC source = GetWindowDC(window);
    BitBlt(dc, 0, 0, static_cast<int>(picture.width), static_cast<int>(picture.height), source, 0,
           0, SRCCOPY);
    ReleaseDC(window, source);
    if (caretHidden) ShowCaret(nullptr);
    GdiFlush();
    const auto* first = static_cast<const BYTE*>(bits);
    picture.pixels.assign(first, first + static_cast<size_t>(picture.stride) * picture.height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

bool writePng(const Picture& picture, const std::wstring& file) {
    using Microsoft::WRL::ComPtr;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.GetAddressOf()))))
        return false;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    return SUCCEEDED(factory->CreateStream(&stream)) &&
           SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
           SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(picture.width, picture.height)) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) &&
           IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
           SUCCEEDED(frame->WritePixels(picture.height, picture.stride,
                                        static_cast<UINT>(picture.pixels.size()),
                                        const_cast<BYTE*>(picture.pixels.data()))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool saveWindowPicture(HWND window, const std::string& file) {
    const Picture picture = paint(window);
    if (picture.pixels.empty()) return false;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::u16string name16 = Utf16(file);
    const std::wstring name(name16.begin(), name16.end());
    const bool written = writePng(picture, name);
    if (SUCCEEDED(com)) CoUninitialize();
    if (!written) {
        // A picture cut short is no picture.
        std::error_code ec;
        std::filesystem::remove(std::filesystem::path(name), ec);
    }
    return written;
}

}  // namespace vel
