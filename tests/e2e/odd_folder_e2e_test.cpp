#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "Automation.h"
#include "support/RunKeyEntry.h"
#include "win32/PngResource.h"

namespace {

constexpr int kCloseButton = 1003;
constexpr int kBackgroundBitmap = 130;
constexpr int kClockDial = 1073;
constexpr int kTemperatureDial = 1074;
constexpr int kClockDialBase = 211;
constexpr int kTemperatureDialBase = 275;
constexpr COLORREF kDialKey = RGB(77, 0, 85);

// The main window's background bitmap as the program's own resources hold it, in a memory DC.
class ResourceBitmap {
public:
    ResourceBitmap(const std::wstring& exe, int id) {
        module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        // The skin rides compressed; decoded the way the program decodes it.
        if (module) bitmap = LoadPngResource(module, id);
        dc = CreateCompatibleDC(nullptr);
        if (bitmap) old = SelectObject(dc, bitmap);
    }
    ~ResourceBitmap() {
        if (old) SelectObject(dc, old);
        DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
        if (module) FreeLibrary(module);
    }
    bool Loaded() const { return bitmap != nullptr; }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }

private:
    HMODULE module = nullptr;
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
};

// The program and its icons copied into a folder whose name holds spaces and a percent sign, as a
// user may unpack it; removed again afterwards.
class OddFolderE2e : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::remove_all(fs::path(folder), ec);
        fs::create_directories(fs::path(folder) / L"Resources", ec);
        ASSERT_FALSE(ec) << "cannot make the folder";
        const fs::path built = e2e::BuildDir() + L"src";
        fs::copy_file(built / L"Coralvane.exe", fs::path(exe), ec);
        ASSERT_FALSE(ec) << "cannot copy the program";
        for (const fs::directory_entry& icon : fs::directory_iterator(built / L"Resources", ec)) {
            fs::copy_file(icon.path(), fs::path(folder) / L"Resources" / icon.path().filename(), ec);
            ASSERT_FALSE(ec) << "cannot copy " << icon.path().filename().string();
        }
        ASSERT_FALSE(ec) << "cannot list the icons";
    }
    void TearDown() override {
        e2e::Stop(program);
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(folder), ec);
    }

    std::wstring folder = e2e::BuildDir() + L"odd folder 100% %TEMP% x\\";
    std::wstring exe = folder + L"Coralvane.exe";
    e2e::Launched program;
};

TEST_F(OddFolderE2e, RunsKeepsItsFileBesideItselfAndRegistersAQuotedPath) {
    program = e2e::Launch(exe, L"");
    ASSERT_NE(program.process, nullptr) << "cannot start the program";
    HWND main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
    ASSERT_NE(main, nullptr) << "no main window";

    // The first run wrote its file in the program's own folder, name and all taken literally.
    const std::string text = e2e::ReadBytes(folder + L"Coralvane_DID1B80.cfg");
    EXPECT_EQ(text.rfind("[Coralvane]\r\nGPUDID=1B80\r\nInitialized=1\r\n", 0), 0u) << text.substr(0, 120);
    EXPECT_NE(text.find("[CoustomFanSpeed]"), std::string::npos);
    // The skin shows: sample points of the background (the logo's letters, plain panel) are the
    // bitmap's own pixels.
    ResourceBitmap background(exe, kBackgroundBitmap);
    ASSERT_TRUE(background.Loaded());
    const POINT samples[] = {{471, 18}, {546, 18}, {462, 27}, {15, 60}, {600, 480}, {36, 459}};
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            const e2e::ClientPixels screen(main);
            for (const POINT& p : samples)
                if (screen.At(p.x, p.y) != background.At(p.x, p.y)) return false;
            return true;
        },
        5000))
        << "the background is not the skin's";
    // Where a dial's base layer is the transparent colour (no layer draws there), the window's
    // picture shows: the dial draws it under its layers on each reading.
    const struct {
        int id;
        int base;
    } dials[] = {{kClockDial, kClockDialBase}, {kTemperatureDial, kTemperatureDialBase}};
    for (const auto& dial : dials) {
        HWND control = GetDlgItem(main, dial.id);
        ASSERT_NE(control, nullptr);
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        ResourceBitmap base(exe, dial.base);
        ASSERT_TRUE(base.Loaded());
        // Counted once the dial shows a reading: most of its base layer's own pixels are on the screen
        // (a child window not painted yet shows black).
        int seeThrough = 0;
        int wrong = 0;
        const bool drawn = e2e::WaitUntil(
            [&] {
                const e2e::ClientPixels screen(main);
                int layer = 0;
                int layerShown = 0;
                seeThrough = wrong = 0;
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) {
                        const COLORREF own = base.At(x - r.left, y - r.top);
                        if (own != kDialKey) {
                            ++layer;
                            layerShown += screen.At(x, y) == own ? 1 : 0;
                            continue;
                        }
                        ++seeThrough;
                        if (screen.At(x, y) != background.At(x, y)) ++wrong;
                    }
                }
                return layerShown > layer / 2;
            },
            8000);
        EXPECT_TRUE(drawn) << "dial " << dial.id << " shows no reading";
        EXPECT_GT(seeThrough, 1000);
        EXPECT_EQ(wrong, 0) << "dial " << dial.id << " does not show the window's picture through it";
    }
    // The icons from the folder's "Resources" show: the close button is not just background.
    HWND close = GetDlgItem(main, kCloseButton);
    ASSERT_NE(close, nullptr);
    RECT button{};
    GetWindowRect(close, &button);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&button), 2);
    const e2e::ClientPixels screen(main);
    int iconPixels = 0;
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left; x < button.right; ++x)
            if (screen.At(x, y) != background.At(x, y)) ++iconPixels;
    EXPECT_GT(iconPixels, 10) << "the close button shows no icon";
    EXPECT_TRUE(e2e::Screenshot(main, L"odd-folder-" + e2e::Bitness() + L".bmp"));

    EXPECT_EQ(RunKeyEntry(), L"\"" + exe + L"\"");

    ASSERT_TRUE(e2e::Click(main, kCloseButton));
    EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
}

}  // namespace
