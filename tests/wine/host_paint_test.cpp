// The host's painting on real windows: a dialog keeps its picture off-screen and renders it again
// only when what it shows changed. The test runner starts this program on a virtual display.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/CBkDialogST.h"
#include "controls/CLabel.h"
#include "platform/Clock.h"
#include "ui/CWndControl.h"
#include "win32/BitmapStore.h"
#include "win32/PngResource.h"
#include "win32/Win32Host.h"
#include "win32/WindowShape.h"

namespace {

constexpr int kSkin = 130;  // the main window's background
constexpr int kPageLabel = 1501;

// A skinned window drawing a bar of its own over the skin, and a page without a skin of its own
// (the window's picture shows through it) holding a transparent label: the label copies the page's
// picture, which copies the window's.
class SkinnedWindow : public CBkDialogST {
public:
    SkinnedWindow(UiHost& host, Point at) : CBkDialogST(host, 4244) { MoveWindow({at.x, at.y, 320, 200}); }
    Color bar = Rgb(200, 40, 40);
    int paints = 0;

protected:
    void OnInitDialog() override { SetBitmap(kSkin); }
    void OnPaint(Canvas& canvas) override {
        ++paints;
        canvas.FillRect({20, 60, 280, 30}, bar);
    }
};

class SeeThroughPage : public CDialog {
public:
    explicit SeeThroughPage(UiHost& host) : CDialog(host, 4245) {
        MutableWindow().childStyle = true;
        MoveWindow({10, 50, 200, 100});
        Add<CLabel>(kPageLabel, Rect{5, 5, 150, 40}).SetText("22 MHz").SetTextColor(Rgb(255, 255, 1));
    }
};

// Shaped by its skin, as the main window is.
class ShapedWindow : public CBkDialogST {
public:
    explicit ShapedWindow(UiHost& host) : CBkDialogST(host, 4246) { MoveWindow({40, 40, 1000, 504}); }

protected:
    void OnInitDialog() override {
        SetBitmap(kSkin);
        ShapeFromBitmap(kSkin);
    }
};

// An owner-drawn swatch over the skin that counts its paints; the window's timer recolours it and
// asks for its repaint twice and changes its text, or runs a modal window that recolours it and ends on a
// timer of its own.
class Swatch : public CWndControl {
public:
    Swatch(CDialog& dialog, int id, const Rect& rect)
        : CWndControl(dialog, id, ControlKind::OwnerDrawn, rect) {}
    void Recolour(Color c) {
        colour = c;
        Invalidate();
    }
    void Repaint() { Invalidate(); }
    void OnPaint(Canvas& canvas) override {
        ++paints;
        canvas.FillRect({4, 4, 40, 20}, colour);
    }
    Color colour = Rgb(10, 10, 200);
    int paints = 0;
};

constexpr int kSwatch = 1601;
constexpr int kTickLabel = 1602;
constexpr int kTick = 7;

class ModalRecolour : public CDialog {
public:
    ModalRecolour(UiHost& host, Swatch& swatch) : CDialog(host, 4248), swatch(swatch) {
        MoveWindow({0, 0, 120, 80});
    }
    int paintsAtEnd = -1;

protected:
    void OnInitDialog() override {
        swatch.Recolour(Rgb(200, 200, 10));
        SetTimer(1, 200);
    }
    void OnTimer(int) override {
        paintsAtEnd = swatch.paints;
        EndDialog(1);
    }

private:
    Swatch& swatch;
};

class TickingWindow : public CBkDialogST {
public:
    TickingWindow(UiHost& host, Point at) : CBkDialogST(host, 4247) { MoveWindow({at.x, at.y, 320, 200}); }
    Swatch* swatch = nullptr;
    bool modal = false;
    int modalPaints = -1;

protected:
    void OnInitDialog() override {
        SetBitmap(kSkin);
        swatch = &Add<Swatch>(kSwatch, Rect{30, 40, 60, 40});
        Add<CLabel>(kTickLabel, Rect{120, 40, 120, 20}).SetTextColor(Rgb(255, 255, 1)).SetTransparent(true);
        SetTimer(kTick, 600000);
    }
    void OnTimer(int) override {
        if (modal) {
            ModalRecolour run(Host(), *swatch);
            run.DoModal(this);
            modalPaints = run.paintsAtEnd;
            return;
        }
        swatch->Recolour(Rgb(10, 200, 10));
        swatch->Repaint();
        // A change of the control's state asks for its repaint too.
        SetItemText(kSwatch, "ticked " + std::to_string(++ticks));
        SetItemText(kTickLabel, "tick " + std::to_string(ticks));
    }
    int ticks = 0;
};

struct ShownWindow {
    ShownWindow(Win32Host& host, Point at) : window(host, at), page(host) {}
    bool Create() {
        if (window.Create() != 0 || page.Create(&window) != 0) return false;
        window.ShowWindow(ShowCommand::Show);
        page.ShowWindow(ShowCommand::Show);
        return true;
    }
    SkinnedWindow window;
    SeeThroughPage page;
};

// The client area as the screen shows it now.
std::vector<COLORREF> ScreenPixels(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y) {
        for (int x = 0; x < r.right; ++x) pixels.push_back(GetPixel(memory, x, y));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The client area as the screen shows it, once every paint asked for is done.
std::vector<COLORREF> ClientPixels(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return ScreenPixels(window);
}

}  // namespace

TEST(HostPaint, RepaintsGiveThePixelsOfAFreshWindowAndRenderOnlyWhatChanged) {
    Win32Host host;
    ShownWindow painted(host, {20, 20});
    if (!painted.Create()) GTEST_SKIP() << "no window system in this session";
    HWND window = host.WindowOf(painted.window);
    const std::vector<COLORREF> first = ClientPixels(window);
    const int paints = painted.window.paints;
    ASSERT_GT(paints, 0);

    // A part lost by the system (here: asked for again) is copied from the kept picture, not drawn.
    RECT part{30, 55, 130, 120};
    InvalidateRect(window, &part, FALSE);
    EXPECT_TRUE(ClientPixels(window) == first);
    EXPECT_EQ(painted.window.paints, paints);

    // What the window draws changed: it renders again, and the page and its label show the new picture.
    painted.window.bar = Rgb(40, 200, 40);
    painted.window.Invalidate();
    const std::vector<COLORREF> changed = ClientPixels(window);
    EXPECT_EQ(painted.window.paints, paints + 1);
    EXPECT_FALSE(changed == first);

    ShownWindow fresh(host, {360, 20});
    fresh.window.bar = Rgb(40, 200, 40);
    ASSERT_TRUE(fresh.Create());
    EXPECT_TRUE(ClientPixels(host.WindowOf(fresh.window)) == changed);
    InvalidateRect(window, &part, FALSE);
    InvalidateRect(host.WindowOf(painted.page), nullptr, FALSE);
    EXPECT_TRUE(ClientPixels(window) == changed);
    fresh.page.DestroyWindow();
    fresh.window.DestroyWindow();
    painted.page.DestroyWindow();
    painted.window.DestroyWindow();
}

TEST(HostPaint, AWindowTakesItsShapeAsItShowsAndItsPictureIsDecodedInAPauseBefore) {
    Win32Host host;
    ShapedWindow window(host);
    if (window.Create() != 0) GTEST_SKIP() << "no window system in this session";
    HWND hwnd = host.WindowOf(window);
    GdiObject region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(hwnd, region.As<HRGN>()), ERROR) << "not shaped while it is built";
    EXPECT_EQ(host.SkinBitmapsHeld(), 0u) << "nothing decoded while the window is built";
    SystemClock().SleepMs(1);
    EXPECT_EQ(host.SkinBitmapsHeld(), 1u) << "a pause of the UI thread decodes the picture it will need";

    window.ShowWindow(ShowCommand::Show);
    ASSERT_NE(GetWindowRgn(hwnd, region.As<HRGN>()), ERROR) << "shaped as it shows";
    HBITMAP skin = LoadPngResource(GetModuleHandleW(nullptr), kSkin);
    PixelImage pixels;
    ASSERT_EQ(ReadBitmapPixels(skin, pixels), 0);
    DeleteObject(skin);
    GdiObject expected = CreateShapeRegion(pixels);
    ASSERT_TRUE(expected);
    EXPECT_TRUE(EqualRgn(region.As<HRGN>(), expected.As<HRGN>()));
    window.DestroyWindow();
}

TEST(HostPaint, ATimersRepaintsAreDrawnOnceAsItsHandlingEndsAndAModalRunItStartsPaintsAsUsual) {
    Win32Host host;
    TickingWindow window(host, {20, 20});
    if (window.Create() != 0) GTEST_SKIP() << "no window system in this session";
    window.ShowWindow(ShowCommand::Show);
    HWND hwnd = host.WindowOf(window);
    HWND swatch = GetDlgItem(hwnd, kSwatch);
    ASSERT_NE(swatch, nullptr);
    ClientPixels(hwnd);
    const int paints = window.swatch->paints;

    // Asked twice during the tick: drawn once, onto the screen, with nothing left for a paint cycle.
    SendMessageW(hwnd, WM_TIMER, kTick, 0);
    EXPECT_EQ(window.swatch->paints, paints + 1);
    EXPECT_FALSE(GetUpdateRect(swatch, nullptr, FALSE));
    HWND label = GetDlgItem(hwnd, kTickLabel);
    EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));
    wchar_t text[32] = {};
    GetWindowTextW(label, text, 32);
    EXPECT_STREQ(text, L"tick 1") << "the label's window keeps its text for automation";
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(window.swatch->paints, paints + 1);
    const std::vector<COLORREF> ticked = ScreenPixels(hwnd);

    TickingWindow fresh(host, {360, 20});
    ASSERT_EQ(fresh.Create(), 0);
    fresh.swatch->colour = Rgb(10, 200, 10);
    fresh.SetItemText(kTickLabel, "tick 1");
    fresh.ShowWindow(ShowCommand::Show);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const std::vector<COLORREF> freshPixels = ClientPixels(host.WindowOf(fresh));
    EXPECT_TRUE(freshPixels == ticked) << "the tick's drawing is the window's own";
    fresh.DestroyWindow();

    // A modal run started by the tick: the swatch it recolours paints while it runs, not after.
    window.modal = true;
    const int beforeModal = window.swatch->paints;
    SendMessageW(hwnd, WM_TIMER, kTick, 0);
    EXPECT_EQ(window.modalPaints, beforeModal + 1);
    window.DestroyWindow();
}
