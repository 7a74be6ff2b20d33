#include "win32/PngResource.h"

// clang-format off
#include <objbase.h>
#include <wincodec.h>
// clang-format on

#include <cstdint>
#include <vector>

#include "ui/BmpFile.h"
#include "win32/ComApartment.h"
#include "win32/GdiObjects.h"
#include "win32/ResourceFile.h"

namespace {

// {6FDDC324-4E03-4BFE-B185-3D77768DC90C}: 24 bits per pixel, blue first.
constexpr GUID kPixelFormat24bppBgr = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c}};

using CreateFactory = HRESULT(WINAPI*)(UINT, IWICImagingFactory**);
using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

// Let go this long after the last decoding. Loading it again costs 12-30 ms, more than a decoding:
// a dial whose reading moves every few seconds decodes a new picture each time, and a shorter wait
// reloaded the component for nearly every one of them.
constexpr UINT kCodecIdleMs = 10000;

// The imaging component is not one of the system's known libraries: it is loaded from the system
// directory only. It is a megabyte and more of a process that decodes only while windows open, so
// it is freed again by a timer of the thread, restarted by each decoding.
struct Codec {
    HMODULE library = nullptr;
    CreateFactory create = nullptr;
    GetClassObject classObject = nullptr;
    UINT_PTR timer = 0;
};

Codec& TheCodec() {
    static Codec codec;
    return codec;
}

void CALLBACK LetCodecGo(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Codec& codec = TheCodec();
    if (id != codec.timer) return;
    codec.timer = 0;
    if (codec.library) FreeLibrary(codec.library);
    codec.library = nullptr;
    codec.create = nullptr;
    codec.classObject = nullptr;
}

CreateFactory AcquireCodec() {
    Codec& codec = TheCodec();
    if (!codec.library) {
        codec.library = LoadLibraryExW(L"windowscodecs.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!codec.library) return nullptr;
        codec.create = reinterpret_cast<CreateFactory>(
            reinterpret_cast<void*>(GetProcAddress(codec.library, "WICCreateImagingFactory_Proxy")));
        codec.classObject = reinterpret_cast<GetClassObject>(
            reinterpret_cast<void*>(GetProcAddress(codec.library, "DllGetClassObject")));
    }
    // Without a timer (none left, say) the library simply stays.
    codec.timer = SetTimer(nullptr, codec.timer, kCodecIdleMs, LetCodecGo);
    return codec.create;
}

// {389EA17B-5078-4CDE-B6EF-25C15175C751}: the component's PNG decoder.
constexpr CLSID kPngDecoder = {0x389ea17b, 0x5078, 0x4cde, {0xb6, 0xef, 0x25, 0xc1, 0x51, 0x75, 0xc7, 0x51}};

// The PNG decoder straight from the loaded component: asking the factory to pick one for the bytes
// reads every registered decoder's description first (18 ms under Wine for the first picture).
// The factory's choice stays the fallback.
HRESULT MakePngDecoder(IWICImagingFactory& factory, IStream& stream, IWICBitmapDecoder** decoder) {
    IClassFactory* maker = nullptr;
    const GetClassObject classObject = TheCodec().classObject;
    if (classObject &&
        SUCCEEDED(classObject(kPngDecoder, IID_IClassFactory, reinterpret_cast<void**>(&maker)))) {
        IWICBitmapDecoder* made = nullptr;
        HRESULT hr = maker->CreateInstance(nullptr, IID_IWICBitmapDecoder, reinterpret_cast<void**>(&made));
        maker->Release();
        if (SUCCEEDED(hr)) hr = made->Initialize(&stream, WICDecodeMetadataCacheOnDemand);
        if (SUCCEEDED(hr)) {
            *decoder = made;
            return hr;
        }
        if (made) made->Release();
        LARGE_INTEGER start{};
        stream.Seek(start, STREAM_SEEK_SET, nullptr);
    }
    return factory.CreateDecoderFromStream(&stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder);
}

// A PNG image's size is in its first 24 bytes: the signature and the start of the header chunk.
constexpr size_t kPngHeaderBytes = 24;

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

bool PngResourceSize(HINSTANCE module, int resourceId, Size& size) {
    std::vector<uint8_t> header;
    return ReadResourceBytes(module, L"PNG", resourceId, kPngHeaderBytes, header) &&
           ReadPngSize(header, size) == 0;
}

bool PngCodecLoaded() {
    return TheCodec().library != nullptr;
}

HBITMAP LoadPngResource(HINSTANCE module, int resourceId) {
    std::vector<uint8_t> bytes;
    Size header;
    if (!ReadResourceBytes(module, L"PNG", resourceId, SIZE_MAX, bytes) || ReadPngSize(bytes, header) != 0)
        return nullptr;
    const CreateFactory createFactory = AcquireCodec();
    if (!createFactory) return nullptr;

    const ComApartment apartment;
    if (!apartment.Usable()) return nullptr;
    Ref<IWICImagingFactory> factory;
    Ref<IWICStream> stream;
    Ref<IWICBitmapDecoder> decoder;
    Ref<IWICBitmapFrameDecode> frame;
    Ref<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(createFactory(WINCODEC_SDK_VERSION, factory.Out())) ||
        FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()))) ||
        FAILED(MakePngDecoder(*factory.Get(), *stream.Get(), decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) ||
        FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), kPixelFormat24bppBgr, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width != UINT(header.width) ||
        height != UINT(header.height)) {
        return nullptr;
    }

    // Rows from the top, as the decoder gives them, straight into the bitmap's own memory.
    const BITMAPINFO info = DibInfo(static_cast<LONG>(width), static_cast<LONG>(height), 24);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const UINT stride = (width * 3 + 3) & ~3u;
    if (!bitmap || !bits ||
        FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    GdiFlush();
    return bitmap;
}
