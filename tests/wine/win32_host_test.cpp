// The parts of the Win32 host that need no display: regions, pixels, fonts, icons, alpha, the posted
// work queue and the painting rules, on memory surfaces. The wine unit tests run without X.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "controls/ShapeRegion.h"
#include "ui/BmpFile.h"
#include "ui/RecordingCanvas.h"
#include "win32/BitmapStore.h"
#include "win32/BitmapTrim.h"
#include "win32/FontCache.h"
#include "win32/GdiCanvas.h"
#include "win32/GdiTally.h"
#include "win32/IconCache.h"
#include "win32/KeyMap.h"
#include "win32/LayeredWindow.h"
#include "win32/PngResource.h"
#include "win32/PostQueue.h"
#include "win32/SkinPainter.h"
#include "win32/TextConvert.h"
#include "win32/WinApi.h"
#include "win32/WindowShape.h"

namespace {

constexpr Color kKey = Rgb(77, 0, 85);
constexpr Color kRed = Rgb(220, 30, 10);
constexpr Color kBlue = Rgb(10, 40, 230);

PixelImage Image(int width, int height, Color fill) {
    return PixelImage{width, height, std::vector<Color>(size_t(width) * size_t(height), fill)};
}

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A bitmap with the image's pixels; the caller owns it.
HBITMAP MakeBitmap(const PixelImage& image) {
    BITMAPINFO info = TopDown32(image.width, image.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const Color c = image.pixels[i];
        out[i] = (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c);
    }
    return bitmap;
}

// A memory DC drawing into a 32-bit bitmap whose pixels the test reads back.
class DibSurface {
public:
    DibSurface(int width, int height, Color fill) : width(width), height(height) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info = TopDown32(width, height);
        void* raw = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
        bits = static_cast<uint32_t*>(raw);
        old = SelectObject(dc, bitmap);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) Set(x, y, fill);
        }
    }
    ~DibSurface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Color At(int x, int y) const {
        GdiFlush();
        const uint32_t p = bits[size_t(y) * size_t(width) + size_t(x)];
        return Rgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
    }
    void Set(int x, int y, Color c) {
        bits[size_t(y) * size_t(width) + size_t(x)] =
            (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c);
    }
    int CountOf(Color c, const Rect& area) const {
        int n = 0;
        for (int y = area.top; y < area.Bottom(); ++y) {
            for (int x = area.left; x < area.Right(); ++x) n += At(x, y) == c;
        }
        return n;
    }
    Size GetSize() const { return {width, height}; }

    HDC dc = nullptr;

private:
    int width;
    int height;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full(path, length);
    return full.substr(0, full.find_last_of(L"\\/") + 1);
}

// Every pixel is inside the region exactly when it is not the key colour.
void ExpectRegionMatches(HRGN region, const PixelImage& image) {
    int mismatches = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const bool inside = PtInRegion(region, x, y) != FALSE;
            mismatches += inside != (image.At(x, y) != kKey);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(WindowShape, RegionHoldsExactlyThePixelsThatAreNotTheKeyColour) {
    PixelImage frame = Image(9, 5, kRed);
    for (int x = 0; x < 9; ++x) frame.pixels[size_t(x)] = kKey;  // top row outside
    frame.pixels[2 * 9 + 4] = kKey;                              // a hole: two runs on row 2
    frame.pixels[4 * 9 + 0] = kKey;                              // a cut corner
    frame.pixels[4 * 9 + 8] = kKey;
    PixelImage single = Image(3, 3, kKey);
    single.pixels[4] = kBlue;

    for (const PixelImage& image : {frame, single, Image(4, 2, kBlue)}) {
        GdiObject region = CreateShapeRegion(image);
        ASSERT_TRUE(region);
        ExpectRegionMatches(region.As<HRGN>(), image);
    }
    EXPECT_FALSE(CreateShapeRegion(Image(6, 6, kKey))) << "a bitmap of nothing but key colour has no shape";
    EXPECT_FALSE(CreateShapeRegion(PixelImage{}));
}

TEST(WindowShape, ResourceBitmapGivesTheSameShapeAsTheSkinFile) {
    // The message dialog's skin, loaded as the program loads it, against the generated file itself:
    // a channel swap or an upside-down read would move the shape.
    std::vector<uint8_t> bytes;
    ASSERT_EQ(ReadFileBytes(CORALVANE_SKIN_DIR "/bitmaps/233.bmp", bytes), 0);
    PixelImage fromFile;
    ASSERT_EQ(DecodeBmp(bytes, fromFile), 0);

    BitmapStore store(GetModuleHandleW(nullptr));
    PixelImage fromResource;
    ASSERT_EQ(ReadBitmapPixels(store.Get(233), fromResource), 0);
    EXPECT_EQ(store.SizeOf(233), (Size{fromFile.width, fromFile.height}));
    EXPECT_EQ(fromResource.pixels, fromFile.pixels);

    GdiObject region = CreateShapeRegion(fromResource);
    ASSERT_TRUE(region);
    ExpectRegionMatches(region.As<HRGN>(), fromFile);
}

TEST(WindowShape, AppliedShapeIsTheRegionOfTheWholePicture) {
    // The window reads its shape from the bitmap band by band: the main window's skin (a last band
    // shorter than the rest) and the message dialog's give the region of the whole picture.
    BitmapStore store(GetModuleHandleW(nullptr));
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1000, 504, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    for (int bitmap : {130, 233}) {
        SCOPED_TRACE(bitmap);
        PixelImage whole;
        ASSERT_EQ(ReadBitmapPixels(store.Get(bitmap), whole), 0);
        GdiObject expected = CreateShapeRegion(whole);
        ASSERT_TRUE(expected);
        ASSERT_EQ(ApplyWindowShape(window, store.Get(bitmap)), 0);
        GdiObject applied(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(window, applied.As<HRGN>()), ERROR);
        EXPECT_TRUE(EqualRgn(applied.As<HRGN>(), expected.As<HRGN>()));
    }
    EXPECT_EQ(ApplyWindowShape(window, nullptr), 0);
    DestroyWindow(window);
}

TEST(BitmapStore, ReadsColoursInTheModelLayoutAndRemembersMissingResources) {
    PixelImage image = Image(3, 2, kRed);
    image.pixels[1] = kBlue;
    image.pixels[5] = Rgb(1, 2, 3);
    BitmapStore store(GetModuleHandleW(nullptr));
    store.Adopt(60001, MakeBitmap(image));

    PixelImage read;
    ASSERT_EQ(ReadBitmapPixels(store.Get(60001), read), 0);
    EXPECT_EQ(read.pixels, image.pixels);
    EXPECT_EQ(store.TopLeftColor(60001), kRed);

    EXPECT_EQ(store.Get(60999), nullptr);
    EXPECT_EQ(store.SizeOf(60999), (Size{}));
    EXPECT_FALSE(store.TopLeftColor(60999));
    EXPECT_EQ(store.Get(0), nullptr);
    EXPECT_EQ(store.Get(-4), nullptr);
    EXPECT_NE(ReadBitmapPixels(nullptr, read), 0);
}

// Laying a window out sizes its bitmaps without decoding them; what a window drew is freed when the
// last window that drew it closes, and decoded again (the same pixels) when drawn later.
TEST(BitmapStore, DecodesOnDrawAndFreesWhatOnlyAClosedWindowDrew) {
    std::vector<uint8_t> bytes;
    ASSERT_EQ(ReadFileBytes(CORALVANE_SKIN_DIR "/bitmaps/233.bmp", bytes), 0);
    PixelImage fromFile;
    ASSERT_EQ(DecodeBmp(bytes, fromFile), 0);
    constexpr int kShared = 233;
    constexpr int kOwn = 130;
    // Windows stand in as handles: the store only keys its users by them.
    const HWND first = reinterpret_cast<HWND>(uintptr_t(0x5a10));
    const HWND second = reinterpret_cast<HWND>(uintptr_t(0x5a20));

    BitmapStore store(GetModuleHandleW(nullptr));
    EXPECT_EQ(store.SizeOf(kShared), (Size{fromFile.width, fromFile.height}));
    EXPECT_FALSE(store.SizeOf(kOwn).IsEmpty());
    EXPECT_EQ(store.Loaded(), 0u) << "sizing decoded a bitmap";
    {
        const BitmapStore::UserScope use(store, first);
        ASSERT_TRUE(store.Get(kShared));
        ASSERT_TRUE(store.Get(kOwn));
    }
    {
        const BitmapStore::UserScope use(store, second);
        ASSERT_TRUE(store.Get(kShared));
    }
    EXPECT_EQ(store.Loaded(), 2u);

    store.ReleaseUser(first);
    EXPECT_EQ(store.Loaded(), 1u) << "only the bitmap no other window drew goes";
    EXPECT_FALSE(store.SizeOf(kOwn).IsEmpty());
    EXPECT_EQ(store.Loaded(), 1u);
    store.ReleaseUser(second);
    EXPECT_EQ(store.Loaded(), 0u);

    // Decoded again when drawn later, the same pixels.
    PixelImage again;
    ASSERT_EQ(ReadBitmapPixels(store.Get(kShared), again), 0);
    EXPECT_EQ(again.pixels, fromFile.pixels);
}

// Whatever nothing has drawn for a while goes too (a dial's layer for a reading long past, say);
// what was just drawn and what is pinned stay.
TEST(BitmapStore, FreesWhatNothingDrewForAWhile) {
    constexpr int kOld = 233;
    constexpr int kPinned = 130;
    BitmapStore store(GetModuleHandleW(nullptr));
    ASSERT_TRUE(store.Get(kOld));
    ASSERT_TRUE(store.Pin(kPinned));
    const DWORD drawn = GetTickCount();
    store.Sweep(drawn);
    EXPECT_EQ(store.Loaded(), 2u) << "a bitmap just drawn was freed";
    store.Sweep(drawn + BitmapStore::kUnusedMs + 1000);
    EXPECT_EQ(store.Loaded(), 1u);
    EXPECT_FALSE(store.SizeOf(kOld).IsEmpty());
    EXPECT_TRUE(store.Get(kOld));
}

TEST(PngResource, TheImagingComponentIsLetGoOnceDecodingStops) {
    GdiObject bitmap(LoadPngResource(GetModuleHandleW(nullptr), 233));
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(PngCodecLoaded());
    // The release rides on a timer of this thread: pump its messages for a while.
    for (int i = 0; i < 300 && PngCodecLoaded(); ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(50);
    }
    EXPECT_FALSE(PngCodecLoaded());
    EXPECT_EQ(GetModuleHandleW(L"windowscodecs.dll"), nullptr);
    GdiObject decodedAgain(LoadPngResource(GetModuleHandleW(nullptr), 233));
    EXPECT_TRUE(decodedAgain);
}

// Stands in for the system's lookup: either no function at all, or one that records its call.
class FakeLookup : public LayeredLookup {
public:
    explicit FakeLookup(bool present) : present(present) {}
    int WithFunction(int (*apply)(SetLayeredAttributesFn, void*), void* context) override {
        current = this;
        return apply(present ? Record : nullptr, context);
    }
    static BOOL WINAPI Record(HWND, COLORREF key, BYTE alpha, DWORD flags) {
        ++current->calls;
        current->key = key;
        current->alpha = alpha;
        current->flags = flags;
        return TRUE;
    }
    bool present;
    int calls = 0;
    COLORREF key = 0;
    int alpha = -1;
    DWORD flags = 0;
    static inline FakeLookup* current = nullptr;
};

TEST(LayeredWindow, AlphaIsPercentTimes255Over100WithTheAlphaFlagOnly) {
    struct Case {
        int percent;
        int alpha;
    } cases[] = {{85, 216}, {10, 25}, {100, 255}, {0, 0}, {250, 255}, {-3, 0}};
    for (const Case& c : cases) {
        FakeLookup lookup(true);
        EXPECT_EQ(ApplyLayeredAlpha(nullptr, c.percent, lookup), 0);
        EXPECT_EQ(lookup.calls, 1);
        EXPECT_EQ(lookup.alpha, c.alpha) << c.percent << " %";
        EXPECT_EQ(lookup.flags, DWORD(LWA_ALPHA));
        EXPECT_EQ(lookup.key, COLORREF(255));
    }
}

TEST(LayeredWindow, WithoutTheSystemFunctionNothingHappens) {
    FakeLookup lookup(false);
    EXPECT_EQ(ApplyLayeredAlpha(nullptr, 85, lookup), 1);
    EXPECT_EQ(lookup.calls, 0);
    // The real user32 has it; the lookup must find it by name.
    LayeredLookup system;
    EXPECT_EQ(system.WithFunction([](SetLayeredAttributesFn fn, void*) { return fn ? 0 : 1; }, nullptr), 0);
}

FontSpec Font(const char* face, int height, int pointTenths, int weight) {
    FontSpec spec;
    spec.face = face;
    spec.height = height;
    spec.pointTenths = pointTenths;
    spec.weight = weight;
    return spec;
}

TEST(Fonts, LogicalFontFollowsTheDescription) {
    struct Case {
        FontSpec spec;
        LONG height;
        LONG weight;
        std::wstring face;
        BYTE charset;
    };
    const std::vector<Case> cases = {
        {Font("宋体", 0, 80, 0), -11, FW_NORMAL, L"宋体", GB2312_CHARSET},  // 8 pt at the layouts' 96 DPI
        {Font("Arial", -14, 0, 700), -14, 700, L"Arial", DEFAULT_CHARSET},
        {Font("Arial", 20, 0, 0), 20, FW_NORMAL, L"Arial", DEFAULT_CHARSET},
        {Font("Tahoma", 0, 120, 400), -16, 400, L"Tahoma", DEFAULT_CHARSET},
    };
    for (const Case& c : cases) {
        const LOGFONTW font = MakeLogFont(c.spec);
        EXPECT_EQ(font.lfHeight, c.height) << c.spec.face;
        EXPECT_EQ(font.lfWeight, c.weight) << c.spec.face;
        EXPECT_EQ(std::wstring(font.lfFaceName), c.face);
        EXPECT_EQ(font.lfCharSet, c.charset) << c.spec.face;
    }
    // A face longer than the system allows is cut, never written past the field.
    const LOGFONTW longFace = MakeLogFont(Font(std::string(80, 'x').c_str(), -12, 0, 0));
    EXPECT_EQ(std::wstring(longFace.lfFaceName), std::wstring(LF_FACESIZE - 1, L'x'));
    // No face: the default GUI font's face at the asked size.
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    EXPECT_EQ(std::wstring(MakeLogFont(Font("", -15, 0, 0)).lfFaceName), std::wstring(gui.lfFaceName));
}

TEST(Fonts, CacheMakesOneFontPerDescriptionAndDeletesThemAll) {
    const long before = GdiTally::Live(GdiKind::Object);
    {
        FontCache cache;
        HFONT a = cache.Get(Font("Arial", -14, 0, 0));
        EXPECT_EQ(cache.Get(Font("Arial", -14, 0, 0)), a);
        EXPECT_NE(cache.Get(Font("Arial", -14, 0, 700)), a);
        EXPECT_NE(cache.Get(Font("Arial", 0, 140, 0)), a);
        EXPECT_EQ(cache.Get(FontSpec{}), GetStockObject(DEFAULT_GUI_FONT));
        EXPECT_EQ(cache.Size(), 3u);
        EXPECT_EQ(GdiTally::Live(GdiKind::Object), before + 3);
    }
    EXPECT_EQ(GdiTally::Live(GdiKind::Object), before);
}

TEST(Icons, LoadsFromTheFolderAtTheirOwnSizeAndNeverLeavesIt) {
    const long before = GdiTally::Live(GdiKind::Icon);
    {
        IconCache icons(ExeFolder() + L"Resources\\");
        HICON yes = icons.Get("Msg_Yes.ico");
        ASSERT_NE(yes, nullptr) << "the skin's icons are copied beside the test as Resources";
        EXPECT_EQ(icons.Get("Msg_Yes.ico"), yes);
        EXPECT_EQ(icons.SizeOf("Msg_Yes.ico").cx, 100);
        EXPECT_EQ(icons.SizeOf("Msg_Yes.ico").cy, 32);
        for (const char* name : {"Nope.ico", "", "..\\Resources\\Msg_Yes.ico", "C:\\x.ico", "../x.ico"}) {
            EXPECT_EQ(icons.Get(name), nullptr) << name;
        }
        EXPECT_EQ(GdiTally::Live(GdiKind::Icon), before + 1);
    }
    EXPECT_EQ(GdiTally::Live(GdiKind::Icon), before);
}

TEST(TextConvert, RoundTripsChineseAndReplacesBrokenBytes) {
    const std::string text = "初始化失败！";
    EXPECT_EQ(Utf8ToWide(text), L"初始化失败！");
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              L"a\xFFFD"
              L"b");
    EXPECT_EQ(Utf8ToWide(""), L"");
}

TEST(Input, KeysAndMouseMessagesMapToTheModel) {
    const std::pair<WPARAM, Key> keys[] = {
        {VK_RETURN, Key::Enter}, {VK_ESCAPE, Key::Escape}, {VK_PRIOR, Key::PageUp}, {VK_NEXT, Key::PageDown},
        {VK_HOME, Key::Home},    {VK_END, Key::End},       {VK_LEFT, Key::Left},    {VK_RIGHT, Key::Right},
        {VK_UP, Key::Up},        {VK_DOWN, Key::Down},     {VK_TAB, Key::Tab},      {'A', Key::Other},
    };
    for (const auto& [vk, key] : keys) EXPECT_EQ(KeyFromVirtualKey(vk), key) << vk;

    MouseEvent event;
    // Under capture the pointer can be left of the window: coordinates are signed.
    ASSERT_TRUE(MouseEventFromMessage(WM_MOUSEMOVE, MAKELPARAM(-5, 7), event));
    EXPECT_EQ(event.pt, (Point{-5, 7}));
    ASSERT_TRUE(MouseEventFromMessage(WM_LBUTTONDBLCLK, MAKELPARAM(3, 4), event));
    EXPECT_EQ(event.action, MouseAction::DoubleClick);
    EXPECT_EQ(event.button, MouseButton::Left);
    ASSERT_TRUE(MouseEventFromMessage(WM_RBUTTONUP, 0, event));
    EXPECT_EQ(event.button, MouseButton::Right);
    EXPECT_FALSE(MouseEventFromMessage(WM_KEYDOWN, 0, event));
}

TEST(PostQueue, RunsInOrderAndDropsWhatBelongsToAClosedOwner) {
    int wakes = 0;
    PostQueue queue([&] { ++wakes; });
    int a = 0, b = 0;
    std::vector<int> order;
    queue.Open(&a);
    queue.Open(&b);
    EXPECT_TRUE(queue.Post(&a, [&] { order.push_back(1); }));
    EXPECT_TRUE(queue.Post(&b, [&] { order.push_back(2); }));
    EXPECT_TRUE(queue.Post(&a, [&] { order.push_back(3); }));
    EXPECT_EQ(wakes, 1) << "one wake-up per batch, not one per post";
    queue.Close(&b);
    EXPECT_FALSE(queue.Post(&b, [&] { order.push_back(4); }));
    EXPECT_EQ(queue.RunPending(), 2);
    EXPECT_EQ(order, (std::vector<int>{1, 3}));

    // Work that closes its own owner takes the rest of the owner's queue with it.
    queue.Post(&a, [&] { queue.Close(&a); });
    queue.Post(&a, [&] { order.push_back(5); });
    queue.RunPending();
    EXPECT_EQ(order, (std::vector<int>{1, 3}));
}

TEST(PostQueue, WorkThatPostsItselfWaitsForTheNextRound) {
    int wakes = 0;
    PostQueue queue([&] { ++wakes; });
    int owner = 0;
    queue.Open(&owner);
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        queue.Post(&owner, again);
    };
    queue.Post(&owner, again);
    EXPECT_EQ(queue.RunPending(), 1);
    EXPECT_EQ(queue.Pending(), 1u);
    EXPECT_EQ(wakes, 2) << "the loop is woken again for what is left";
    EXPECT_EQ(queue.RunPending(), 1);
    EXPECT_EQ(runs, 2);
}

TEST(PostQueue, PostsFromManyThreadsAllRunOnce) {
    std::atomic<int> wakes{0};
    PostQueue queue([&] { ++wakes; });
    int owner = 0;
    queue.Open(&owner);
    int ran = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            for (int i = 0; i < 500; ++i) queue.Post(&owner, [&] { ++ran; });
        });
    }
    for (auto& w : workers) w.join();
    while (queue.Pending() > 0) queue.RunPending();
    EXPECT_EQ(ran, 2000);
}

PaintResources Resources(std::shared_ptr<BitmapStore> store) {
    return {std::move(store), std::make_shared<FontCache>(), nullptr};
}

TEST(GdiCanvas, FillsLinesAndExclusiveOrOnRealPixels) {
    DibSurface surface(40, 20, Rgb(0, 0, 0));
    const long before = GdiTally::LiveTotal();
    {
        GdiCanvas canvas(surface.dc, surface.GetSize(), Resources(nullptr));
        canvas.FillRect({2, 3, 10, 5}, kRed);
        EXPECT_EQ(surface.CountOf(kRed, {0, 0, 40, 20}), 50);
        EXPECT_EQ(surface.At(2, 3), kRed);
        EXPECT_EQ(surface.At(11, 7), kRed);
        EXPECT_NE(surface.At(12, 7), kRed);

        canvas.FrameRect({20, 2, 6, 4}, kBlue);
        EXPECT_EQ(surface.CountOf(kBlue, {0, 0, 40, 20}), 16);
        EXPECT_EQ(surface.At(22, 3), Rgb(0, 0, 0)) << "a frame leaves its inside alone";

        // Exclusive-or drawn twice leaves the picture as it was.
        canvas.SetDrawMode(DrawMode::Xor);
        canvas.FillRect({0, 0, 40, 20}, Rgb(255, 255, 255));
        EXPECT_EQ(surface.At(2, 3), Rgb(255 - 220, 255 - 30, 255 - 10));
        EXPECT_EQ(surface.At(39, 19), Rgb(255, 255, 255));
        canvas.FillRect({0, 0, 40, 20}, Rgb(255, 255, 255));
        canvas.DrawLine({0, 10}, {40, 10}, kBlue, 1, PenStyle::Solid);
        canvas.DrawLine({0, 10}, {40, 10}, kBlue, 1, PenStyle::Solid);
        EXPECT_EQ(surface.At(2, 3), kRed);
        EXPECT_EQ(surface.CountOf(Rgb(0, 0, 0), {0, 10, 40, 1}), 40);

        canvas.SetDrawMode(DrawMode::Copy);
        const Point triangle[] = {{30, 12}, {38, 12}, {30, 19}};
        canvas.FillPolygon(triangle, kBlue);
        EXPECT_EQ(surface.At(31, 13), kBlue);
        canvas.DrawLine({0, 19}, {20, 19}, kRed, 3, PenStyle::Dash);
    }
    EXPECT_EQ(GdiTally::LiveTotal(), before) << "every pen, brush and DC made while drawing is gone";
}

TEST(GdiCanvas, BitmapsHonourTheKeyColourAndStayInsideTheirSource) {
    DibSurface surface(10, 6, kRed);
    const long before = GdiTally::LiveTotal();
    {
        auto store = std::make_shared<BitmapStore>(GetModuleHandleW(nullptr));
        PixelImage thumb = Image(4, 3, kBlue);
        thumb.pixels[0] = kKey;
        thumb.pixels[11] = kKey;
        store->Adopt(60010, MakeBitmap(thumb));
        GdiCanvas canvas(surface.dc, surface.GetSize(), Resources(store));
        canvas.DrawBitmap(60010, {1, 1}, kKey);
        EXPECT_EQ(surface.At(1, 1), kRed) << "key pixels leave the picture under them";
        EXPECT_EQ(surface.At(4, 3), kRed);
        EXPECT_EQ(surface.CountOf(kBlue, {0, 0, 10, 6}), 10);

        // A source reaching past the bitmap is cut to it; the destination shifts with the cut.
        canvas.DrawBitmap(60010, {-2, 0, 5, 1}, {5, 5}, std::nullopt);
        EXPECT_EQ(surface.At(6, 5), kRed);
        EXPECT_EQ(surface.At(7, 5), kKey);
        EXPECT_EQ(surface.At(8, 5), kBlue);
        canvas.DrawBitmap(60010, {50, 50, 4, 4}, {0, 0}, std::nullopt);
        canvas.DrawBitmap(60999, {0, 0});

        auto offscreen = canvas.CreateOffscreen({3, 2});
        ASSERT_TRUE(offscreen);
        offscreen->FillRect({0, 0, 3, 2}, Rgb(9, 9, 9));
        canvas.DrawCanvas(*offscreen, {0, 4});
        EXPECT_EQ(surface.CountOf(Rgb(9, 9, 9), {0, 0, 10, 6}), 6);
        EXPECT_FALSE(canvas.CreateOffscreen({0, 5}));
    }
    EXPECT_EQ(GdiTally::LiveTotal(), before) << "the store's bitmaps and key masks go with it";
}

// Every pixel of a picture, rows from the top.
std::vector<Color> PixelsOf(const DibSurface& surface) {
    std::vector<Color> pixels;
    const Size size = surface.GetSize();
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) pixels.push_back(surface.At(x, y));
    }
    return pixels;
}

TEST(GdiCanvas, SkinBitmapsGiveTheSystemsCopiesPixelForPixel) {
    // The dials' layers and the slider's thumb over the main window's skin, as the program draws them
    // (the store keeps only the drawing of a picture on a plain frame), against the system's copies of
    // the whole bitmaps as decoded: transparent copies, parts of a bitmap reaching into the frame or
    // lying in it alone, a second key, plain and exclusive-or copies.
    constexpr int kMainBackground = 130;
    constexpr Color kDialKey = Rgb(77, 0, 85);
    enum class How { Keyed, ThumbKey, Copy, Xor };
    struct Case {
        int bitmap;
        Rect source;  // empty: the whole bitmap
        Point at;
        How how;
        Color key = kDialKey;
    };
    const std::vector<Case> cases = {
        {211, {}, {0, 0}, How::Keyed},
        {159 + 7, {}, {0, 0}, How::Keyed},
        {179 + 5, {}, {0, 0}, How::Keyed},
        {275, {}, {0, 0}, How::Keyed},
        {255 + 14, {}, {0, 0}, How::Keyed},
        {234 + 13, {}, {0, 0}, How::Keyed},
        {275, {40, 30, 120, 90}, {17, 9}, How::Keyed},
        {275, {}, {0, 0}, How::Keyed, Rgb(0, 0, 0)},
        {293, {}, {100, 100}, How::ThumbKey},
        {234 + 13, {}, {0, 0}, How::Copy},
        {234 + 13, {60, 30, 100, 80}, {5, 7}, How::Copy},
        {234 + 13, {0, 0, 40, 30}, {3, 3}, How::Copy},
        {234 + 13, {0, 0, 40, 30}, {3, 3}, How::Keyed},
        {255 + 14, {}, {0, 0}, How::Xor},
        {211, {}, {0, 0}, How::Copy},
    };
    auto store = std::make_shared<BitmapStore>(GetModuleHandleW(nullptr));
    DibSurface ours(286, 228, 0);
    DibSurface system(286, 228, 0);
    GdiCanvas canvas(ours.dc, ours.GetSize(), Resources(store));
    canvas.DrawBitmap(kMainBackground, {38, 100, 286, 228}, {0, 0}, std::nullopt);
    HDC source = CreateCompatibleDC(nullptr);
    HBITMAP background = LoadPngResource(GetModuleHandleW(nullptr), kMainBackground);
    ASSERT_NE(background, nullptr);
    HGDIOBJ old = SelectObject(source, background);
    BitBlt(system.dc, 0, 0, 286, 228, source, 38, 100, SRCCOPY);
    SelectObject(source, old);
    DeleteObject(background);
    ASSERT_TRUE(PixelsOf(ours) == PixelsOf(system));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitmap);
        const Size whole = store->SizeOf(c.bitmap);
        ASSERT_FALSE(whole.IsEmpty());
        const Rect from = c.source.width > 0 ? c.source : Rect{0, 0, whole.width, whole.height};
        HBITMAP decoded = LoadPngResource(GetModuleHandleW(nullptr), c.bitmap);
        ASSERT_NE(decoded, nullptr);
        SelectObject(source, decoded);
        if (c.how == How::Keyed || c.how == How::ThumbKey) {
            const Color key = c.how == How::Keyed ? c.key : store->TopLeftColor(c.bitmap).value_or(0);
            canvas.DrawBitmap(c.bitmap, from, c.at, key);
            GdiTransparentBlt(system.dc, c.at.x, c.at.y, from.width, from.height, source, from.left, from.top,
                              from.width, from.height, key);
        } else {
            canvas.SetDrawMode(c.how == How::Xor ? DrawMode::Xor : DrawMode::Copy);
            canvas.DrawBitmap(c.bitmap, from, c.at, std::nullopt);
            canvas.SetDrawMode(DrawMode::Copy);
            BitBlt(system.dc, c.at.x, c.at.y, from.width, from.height, source, from.left, from.top,
                   c.how == How::Xor ? SRCINVERT : SRCCOPY);
        }
        SelectObject(source, old);
        DeleteObject(decoded);
        ASSERT_TRUE(PixelsOf(ours) == PixelsOf(system));
    }
    DeleteDC(source);
    const Rect needle = store->ForDrawing(234 + 13).held;
    EXPECT_LT(needle.width * needle.height, 286 * 228 / 2) << "a dial's needle layer is kept as its drawing";
}

// A 24-bit DIB section, rows stored from the bottom (as a bitmap file keeps them).
HBITMAP MakeBitmap24(const PixelImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const int stride = (image.width * 3 + 3) & ~3;
    for (int y = 0; y < image.height; ++y) {
        auto* row = static_cast<BYTE*>(bits) + stride * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const Color c = image.At(x, y);
            row[3 * x] = BlueOf(c);
            row[3 * x + 1] = GreenOf(c);
            row[3 * x + 2] = RedOf(c);
        }
    }
    return bitmap;
}

TEST(BitmapTrim, KeepsTheBoxOfWhatDiffersFromAPlainFrame) {
    const Color frame = Rgb(77, 0, 85);
    struct Case {
        const char* name;
        std::vector<Point> drawn;  // pixels of another colour in a 13 x 9 frame
        bool corner = false;       // the bottom-right corner differs too
        bool trimmed;
        Rect held;
    };
    const Case cases[] = {
        {"a drawing", {{4, 2}, {9, 6}, {6, 3}}, false, true, {4, 2, 6, 5}},
        {"a single pixel on the edge", {{12, 4}}, false, true, {12, 4, 1, 1}},
        {"nothing but the frame", {}, false, true, {0, 0, 1, 1}},
        {"corners that differ", {{5, 5}}, true, false, {}},
        {"a drawing reaching every edge", {{0, 1}, {12, 7}, {1, 0}, {11, 8}}, false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelImage image = Image(13, 9, frame);
        for (size_t i = 0; i < c.drawn.size(); ++i)
            image.pixels[size_t(c.drawn[i].y) * 13 + size_t(c.drawn[i].x)] = Rgb(uint8_t(10 + i), 200, 3);
        if (c.corner) image.pixels.back() = kBlue;
        HBITMAP whole = MakeBitmap24(image);
        ASSERT_NE(whole, nullptr);
        Rect held{-1, -1, -1, -1};
        Color found = 0;
        HBITMAP part = TrimToPicture(whole, held, found);
        EXPECT_EQ(part != nullptr, c.trimmed);
        if (part) {
            EXPECT_EQ(held, c.held);
            EXPECT_EQ(found, frame);
            PixelImage kept;
            ASSERT_EQ(ReadBitmapPixels(part, kept), 0);
            ASSERT_EQ(kept.width, held.width);
            ASSERT_EQ(kept.height, held.height);
            for (int y = 0; y < held.height; ++y)
                for (int x = 0; x < held.width; ++x)
                    EXPECT_EQ(kept.At(x, y), image.At(held.left + x, held.top + y)) << x << "," << y;
            DeleteObject(part);
        } else {
            EXPECT_EQ(held, (Rect{-1, -1, -1, -1})) << "left as it was";
        }
        DeleteObject(whole);
    }
    // Any layout is read: a 32-bit section with rows from the top.
    PixelImage image = Image(13, 9, frame);
    image.pixels[3 * 13 + 5] = kBlue;
    HBITMAP wide = MakeBitmap(image);
    Rect held;
    Color found = 0;
    HBITMAP part = TrimToPicture(wide, held, found);
    EXPECT_NE(part, nullptr);
    EXPECT_EQ(held, (Rect{5, 3, 1, 1}));
    if (part) DeleteObject(part);
    DeleteObject(wide);
}

TEST(GdiCanvas, OffscreenSurfacesAreKeptForTheNextOfTheirSizeAndStartBlack) {
    DibSurface target(400, 400, kRed);
    const long before = GdiTally::LiveTotal();
    {
        PaintResources resources = Resources(nullptr);
        resources.surfaces = std::make_shared<SurfacePool>();
        GdiCanvas canvas(target.dc, target.GetSize(), resources);
        HDC first = nullptr;
        {
            auto frame = canvas.CreateOffscreen({30, 20});
            ASSERT_TRUE(frame);
            first = static_cast<GdiCanvas&>(*frame).Dc();
            frame->FillRect({0, 0, 30, 20}, kBlue);
        }
        EXPECT_EQ(resources.surfaces->Kept(), 1u);
        {
            auto again = canvas.CreateOffscreen({30, 20});
            EXPECT_EQ(static_cast<GdiCanvas&>(*again).Dc(), first) << "the same surface again";
            EXPECT_EQ(resources.surfaces->Kept(), 0u);
            canvas.DrawCanvas(*again, {0, 0});
            EXPECT_EQ(target.CountOf(Rgb(0, 0, 0), {0, 0, 30, 20}), 600) << "black, as a new surface";
            auto other = canvas.CreateOffscreen({20, 30});
            EXPECT_NE(static_cast<GdiCanvas&>(*other).Dc(), first);
        }
        EXPECT_EQ(resources.surfaces->Kept(), 2u);
        canvas.CreateOffscreen({10, 10});
        EXPECT_EQ(resources.surfaces->Kept(), 2u) << "only the most recent few";
        canvas.CreateOffscreen({301, 300});
        EXPECT_EQ(resources.surfaces->Kept(), 2u) << "a big one is not kept";
    }
    EXPECT_EQ(GdiTally::LiveTotal(), before);
}

TEST(GdiCanvas, TextStaysInItsBox) {
    DibSurface surface(120, 40, Rgb(0, 0, 0));
    GdiCanvas canvas(surface.dc, surface.GetSize(), Resources(nullptr));
    canvas.DrawString({10, 5, 60, 20}, "OK 初始化", Font("Arial", -14, 0, 0), Rgb(255, 255, 255),
                      kTextLeft | kTextSingleLine);
    const int inside = 1200 - surface.CountOf(Rgb(0, 0, 0), {10, 5, 60, 20});
    const int everywhere = 4800 - surface.CountOf(Rgb(0, 0, 0), {0, 0, 120, 40});
    EXPECT_GT(inside, 20);
    EXPECT_EQ(everywhere, inside);
}

SliderState Slider() {
    SliderState s;
    s.min = 0;
    s.max = 100;
    s.position = 50;
    s.channelBitmap = 60020;
    s.activeChannelBitmap = 60021;
    s.thumbBitmap = 60022;
    s.activeThumbBitmap = 60023;
    s.thumbSize = {10, 6};
    return s;
}

std::vector<DrawCall> PaintSlider(const SliderState& s, Size control,
                                  std::optional<Color> key = std::nullopt) {
    RecordingCanvas canvas(control, [](int id) {
        return id == 60022 || id == 60023 ? Size{10, 6} : Size{110, 10};
    });
    PaintSliderSkin(canvas, s, key);
    return canvas.CallsOf(DrawOp::Bitmap);
}

TEST(SliderSkin, ActiveChannelLeftOfTheThumbCentreNormalChannelRight) {
    // Usable length 110 - 10 = 100: position 50 puts the thumb centre at 5 + 50 = 55.
    const auto calls = PaintSlider(Slider(), {110, 10});
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].bitmap, 60021);
    EXPECT_EQ(calls[0].rect, (Rect{0, 0, 55, 10}));
    EXPECT_EQ(calls[1].bitmap, 60020);
    EXPECT_EQ(calls[1].rect, (Rect{55, 0, 55, 10}));
    EXPECT_EQ(calls[1].to, (Point{55, 0}));
    EXPECT_EQ(calls[2].bitmap, 60022);
    EXPECT_EQ(calls[2].to, (Point{50, 2}));
    EXPECT_FALSE(calls[2].key);
}

TEST(SliderSkin, LooksForEachState) {
    SliderState disabled = Slider();
    disabled.enabled = false;
    auto calls = PaintSlider(disabled, {110, 10});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].bitmap, 60020) << "disabled: the normal channel whole";
    EXPECT_EQ(calls[0].rect, (Rect{}));

    SliderState dragging = Slider();
    dragging.dragging = true;
    dragging.thumbTransparent = true;
    calls = PaintSlider(dragging, {110, 10}, kKey);
    EXPECT_EQ(calls.back().bitmap, 60023);
    EXPECT_EQ(calls.back().key, kKey);
    EXPECT_EQ(SliderThumbBitmap(dragging), 60023);

    SliderState locked = Slider();
    locked.thumbBitmap = 0;
    locked.activeThumbBitmap = 0;
    locked.thumbSize = {};
    calls = PaintSlider(locked, {110, 10});
    ASSERT_EQ(calls.size(), 2u) << "no thumb drawn in the locked look";

    SliderState atEnds = Slider();
    atEnds.position = 0;
    calls = PaintSlider(atEnds, {110, 10});
    EXPECT_EQ(calls[0].rect, (Rect{0, 0, 5, 10}));
    atEnds.position = 100;
    calls = PaintSlider(atEnds, {110, 10});
    EXPECT_EQ(calls[1].rect, (Rect{105, 0, 5, 10}));
}

TEST(SliderSkin, TransparentThumbOnRealPixels) {
    auto store = std::make_shared<BitmapStore>(GetModuleHandleW(nullptr));
    store->Adopt(60020, MakeBitmap(Image(30, 6, Rgb(100, 100, 100))));
    store->Adopt(60021, MakeBitmap(Image(30, 6, Rgb(0, 200, 0))));
    PixelImage thumb = Image(6, 6, kBlue);
    thumb.pixels[0] = Rgb(1, 1, 1);  // the mask colour is whatever the top-left pixel holds
    thumb.pixels[35] = Rgb(1, 1, 1);
    store->Adopt(60022, MakeBitmap(thumb));
    SliderState s = Slider();
    s.thumbSize = {6, 6};
    s.thumbTransparent = true;
    s.position = 0;
    DibSurface surface(30, 6, kRed);
    GdiCanvas canvas(surface.dc, surface.GetSize(), Resources(store));
    PaintSliderSkin(canvas, s, store->TopLeftColor(SliderThumbBitmap(s)));
    // Centre 3: columns 0..2 active, the rest normal; the thumb covers 0..5 but its corners show through.
    EXPECT_EQ(surface.At(0, 0), Rgb(0, 200, 0));
    EXPECT_EQ(surface.At(5, 5), Rgb(100, 100, 100));
    EXPECT_EQ(surface.At(1, 1), kBlue);
    EXPECT_EQ(surface.At(10, 3), Rgb(100, 100, 100));
}

TEST(ButtonSkin, IconForEachState) {
    ControlState button;
    button.iconNormal = "N.ico";
    button.iconHover = "H.ico";
    button.iconDisabled = "D.ico";
    EXPECT_EQ(ButtonIconName(button), "N.ico");
    button.hover = true;
    EXPECT_EQ(ButtonIconName(button), "H.ico");
    button.enabled = false;
    EXPECT_EQ(ButtonIconName(button), "D.ico");
    button.iconDisabled.clear();
    EXPECT_EQ(ButtonIconName(button), "H.ico");
    button.enabled = true;
    button.hover = true;
    button.iconHover.clear();
    EXPECT_EQ(ButtonIconName(button), "N.ico");
}

TEST(TileBitmap, CoversTheAreaFromTheTopLeftCorner) {
    RecordingCanvas canvas({25, 12});
    TileBitmap(canvas, 7, {10, 5}, {25, 12});
    const auto calls = canvas.CallsOf(DrawOp::Bitmap);
    ASSERT_EQ(calls.size(), 9u);
    EXPECT_EQ(calls.front().to, (Point{0, 0}));
    EXPECT_EQ(calls.back().to, (Point{20, 10}));
    TileBitmap(canvas, 7, {}, {25, 12});
    EXPECT_EQ(canvas.CallsOf(DrawOp::Bitmap).size(), 9u) << "an empty bitmap draws nothing, and never loops";
}

}  // namespace
