#include "win32/PngResource.h"

// clang-format off
#include <objbase.h>
#include <wincodec.h>
// clang-format on

#include <cstring>
#include <vector>

#include "win32/ComApartment.h"

namespace {

// {6FDDC324-4E03-4BFE-B185-3D77768DC90C}: 24 bits per pixel, blue first.
constexpr GUID kPixelFormat24bppBgr = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};

using CreateFactory = HRESULT(WINAPI*)(UINT, IWICImagingFactory**);

// The imaging component is not one of the system's known libraries: it is loaded from the system
// directory only, once, and kept for the process's life.
CreateFactory FactoryEntry() {
    static const CreateFactory entry = [] {
        HMODULE library = LoadLibraryExW(L"windowscodecs.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return library ? reinterpret_cast<CreateFactory>(
                             reinterpret_cast<void*>(GetProcAddress(library, "WICCreateImagingFactory_Proxy")))
                       : nullptr;
    }();
    return entry;
}

template <class T>
class Ref {
public:
    ~Ref() {
        if (p) p->Release();
    }
    T** Out() { return &p; }
    T* operator->() const { return p; }
    T* Get() const { return p; }

private:
    T* p = nullptr;
};

}  // namespace

HBITMAP LoadPngResource(HINSTANCE module, int resourceId) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"PNG");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    const CreateFactory createFactory = FactoryEntry();
    if (!bytes || size == 0 || !createFactory) return nullptr;

    const ComApartment apartment;
    if (!apartment.Usable()) return nullptr;
    Ref<IWICImagingFactory> factory;
    Ref<IWICStream> stream;
    Ref<IWICBitmapDecoder> decoder;
    Ref<IWICBitmapFrameDecode> frame;
    Ref<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(createFactory(WINCODEC_SDK_VERSION, factory.Out())) || FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), kPixelFormat24bppBgr, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 ||
        height > 16384) {
        return nullptr;
    }
    const UINT stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> topDown(size_t(stride) * height);
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(topDown.size()), topDown.data())))
        return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // rows from the bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<BYTE*>(bits) + size_t(height - 1 - y) * stride, topDown.data() + size_t(y) * stride,
                    stride);
    GdiFlush();
    return bitmap;
}
