// The BIOS side window of the real program: nvflash is the simulated one (both builds in the
// program's BIOS folder), files are chosen in the system's real file dialogs, in a folder whose name
// holds spaces and '%'.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "Automation.h"
#include "SideWindowChecks.h"
#include "sim/nvflash/NvflashImage.h"

namespace fs = std::filesystem;

namespace {

constexpr int kCloseButton = 1003;
constexpr int kBiosButton = 1140;
constexpr int kBiosClose = 1143;
constexpr int kBiosSave = 1144;
constexpr int kBiosLoad = 1145;
constexpr int kMsgOk = 1130;
constexpr int kMsgClose = 1131;
constexpr int kMsgText = 1132;
constexpr int kMsgNo = 1133;

const std::wstring kFailedText = L"保存BIOS失败！";
const std::wstring kFlashQuestion = L"刷新BIOS可能会导致显卡故障，确认继续？";

std::vector<std::string> LogLines(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines)
        if (l == line) return true;
    return false;
}

size_t CountOf(const std::vector<std::string>& lines, const std::string& line) {
    size_t n = 0;
    for (const std::string& l : lines) n += l == line ? 1 : 0;
    return n;
}

struct FileDialogSearch {
    DWORD pid;
    bool found;
};

BOOL CALLBACK FindFileDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FileDialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (owner == search->pid && std::wstring(name) == L"#32770") search->found = true;
    return !search->found;
}

// Whether the process has a file dialog at all, shown or still being built.
bool AnyFileDialog(DWORD pid) {
    FileDialogSearch search{pid, false};
    EnumWindows(FindFileDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

class BiosE2e : public ::testing::Test {
protected:
    void SetUp() override {
        std::error_code ec;
        fs::remove_all(fs::path(biosFolder), ec);
        fs::remove_all(fs::path(userFolder), ec);
        fs::create_directories(fs::path(biosFolder));
        fs::create_directories(fs::path(userFolder));
        // Both builds, as shipped; on this 64-bit system either program must pick the 64-bit one.
        const std::wstring builds = e2e::BuildDir() + L"..\\";
        fs::copy_file(fs::path(builds + L"win64\\sim\\nvflash64.exe"), fs::path(biosFolder + L"nvflash64.exe"), ec);
        ASSERT_FALSE(ec) << "the 64-bit simulated nvflash is not built";
        fs::copy_file(fs::path(builds + L"win32\\sim\\nvflash32.exe"), fs::path(biosFolder + L"nvflash32.exe"), ec);
    }
    void TearDown() override {
        e2e::Stop(program);
        std::error_code ec;
        fs::remove_all(fs::path(biosFolder), ec);
        fs::remove_all(fs::path(userFolder), ec);
    }

    // The program with the BIOS window open beside it.
    void Open() {
        DeleteFileW(journal.c_str());
        program = e2e::Launch(exe, L"", {L"CORALVANE_SIM_JOURNAL=" + journal});
        ASSERT_NE(program.process, nullptr);
        main = e2e::WaitForWindow(program.pid, L"Coralvane", 20000);
        ASSERT_NE(main, nullptr) << "no main window";
        e2e::RoomOnTheLeft(main);
        ASSERT_TRUE(e2e::Click(main, kBiosButton));
        bios = e2e::WaitForShownControl(program.pid, kBiosSave, 20000);
        ASSERT_NE(bios, nullptr) << "no BIOS window";
        EXPECT_TRUE(e2e::WaitUntil([&] { return bool(e2e::DockedBeside(main, bios)); }, 3000))
            << e2e::DockedBeside(main, bios);
    }

    void End() {
        ASSERT_TRUE(e2e::Click(bios, kBiosClose));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(bios); }, 5000));
        ASSERT_TRUE(e2e::Click(main, kCloseButton));
        EXPECT_EQ(e2e::WaitExit(program, 10000), 0);
    }

    void Behave(const std::string& text) { std::ofstream(fs::path(biosFolder + L"nvflash-sim.txt")) << text; }
    std::vector<std::string> Log() { return LogLines(biosFolder + L"nvflash-sim.log"); }

    // What is in the BIOS folder besides the tools, their behaviour file and their log: the work
    // folder while a tool runs, and nothing after.
    std::vector<std::wstring> StrayEntries() {
        std::vector<std::wstring> stray;
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(biosFolder), ec)) {
            const std::wstring name = entry.path().filename().wstring();
            if (name.rfind(L"nvflash", 0) != 0) stray.push_back(name);
        }
        return stray;
    }
    bool NothingLeft() {
        return e2e::WaitUntil([&] { return StrayEntries().empty(); }, 5000);
    }

    // Save, with the file given in the save dialog.
    void SaveAs(const std::wstring& path) {
        ASSERT_TRUE(e2e::Click(bios, kBiosSave));
        HWND dialog = e2e::WaitForFileDialog(program.pid, 20000);
        ASSERT_NE(dialog, nullptr) << "no save dialog";
        ASSERT_TRUE(e2e::ChooseFile(dialog, path)) << "the save dialog did not take the name";
    }

    // Load, answered OK, with the file given in the open dialog.
    void FlashFrom(const std::wstring& path) {
        ASSERT_TRUE(e2e::Click(bios, kBiosLoad));
        HWND question = e2e::WaitForMessageWith(program.pid, kMsgOk, 20000);
        ASSERT_NE(question, nullptr) << "no flash confirmation";
        EXPECT_EQ(e2e::TextOf(question, kMsgText), kFlashQuestion);
        ASSERT_TRUE(e2e::Click(question, kMsgOk));
        HWND dialog = e2e::WaitForFileDialog(program.pid, 20000);
        ASSERT_NE(dialog, nullptr) << "no open dialog";
        ASSERT_TRUE(e2e::ChooseFile(dialog, path)) << "the open dialog did not take the name";
    }

    // The failure message, closed; false when none came.
    bool FailureShownAndClosed(bool screenshot) {
        HWND message = e2e::WaitForMessageWith(program.pid, kMsgClose, 20000);
        if (!message) return false;
        EXPECT_EQ(e2e::TextOf(message, kMsgText), kFailedText);
        if (screenshot) {
            // Centred over the BIOS window, which sits close to the screen's left edge, yet all on
            // the screen.
            RECT r{};
            GetWindowRect(message, &r);
            EXPECT_GE(r.left, 0) << "the message is cut off at the screen's edge";
            Sleep(300);  // the screen catches up with the new window
            EXPECT_TRUE(e2e::Screenshot(message, L"bios-failure-" + e2e::Bitness() + L".bmp"));
        }
        EXPECT_TRUE(e2e::Click(message, kMsgClose));
        return e2e::WaitUntil([&] { return e2e::NoWindowShowsControl(program.pid, kMsgText); }, 5000);
    }

    std::wstring exe = e2e::BuildDir() + L"src\\Coralvane.exe";
    std::wstring biosFolder = e2e::BuildDir() + L"src\\BIOS\\";
    std::wstring userFolder = e2e::CurrentDir() + L"my roms 100% " + e2e::Bitness() + L"\\";
    std::wstring journal = e2e::CurrentDir() + L"bios-journal-" + e2e::Bitness() + L".txt";
    e2e::Launched program;
    HWND main = nullptr;
    HWND bios = nullptr;
};

TEST_F(BiosE2e, SaveWritesTheChosenFileThroughNvflashWhileTheProgramKeepsRunning) {
    ASSERT_NO_FATAL_FAILURE(Open());
    Sleep(300);  // the screen catches up with the new window
    EXPECT_TRUE(e2e::Screenshot(bios, L"bios-window-" + e2e::Bitness() + L".bmp"));

    // The tool takes its time; meanwhile the windows take no input, answer, and the fan timer keeps
    // reading the card.
    Behave("delay 4000\n");
    const std::wstring saved = userFolder + L"card 1%d.rom";
    ASSERT_TRUE(e2e::Click(bios, kBiosSave));
    HWND dialog = e2e::WaitForFileDialog(program.pid, 20000);
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    EXPECT_TRUE(e2e::Screenshot(dialog, L"bios-save-dialog-" + e2e::Bitness() + L".bmp"));
    ASSERT_TRUE(e2e::ChooseFile(dialog, saved));
    ASSERT_TRUE(e2e::WaitUntil(
        [&] { return !StrayEntries().empty() && !IsWindowEnabled(main) && !IsWindowEnabled(bios); }, 10000))
        << "the windows take input while nvflash runs";
    const size_t journalAtStart = e2e::ReadBytes(journal).size();
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer), 0)
        << "the program does not answer while nvflash runs";
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ReadBytes(journal).size() > journalAtStart; }, 3000))
        << "the card is not read while nvflash runs";
    EXPECT_FALSE(StrayEntries().empty()) << "nvflash ended before the card was read again";
    EXPECT_EQ(CountOf(Log(), "end"), 0u) << "nvflash ended too soon for this test";

    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ReadBytes(saved) == SimBiosImage(); }, 20000))
        << "the chosen file does not hold the image";
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) && IsWindowEnabled(bios); }, 5000));
    EXPECT_TRUE(NothingLeft()) << "the work folder stayed";
    const std::vector<std::string> log = Log();
    EXPECT_TRUE(HasLine(log, "name nvflash64.exe"));
    EXPECT_TRUE(HasLine(log, "bits 64"));
    EXPECT_TRUE(HasLine(log, "cmdline \"nvflash.exe\" \"--save\" \"backup.rom\""));
    EXPECT_TRUE(HasLine(log, "exit 0"));
    // Its working folder is a fresh one inside the BIOS folder.
    const std::string cwd = "cwd " + Utf8(biosFolder);
    bool inBiosFolder = false;
    for (const std::string& line : log) inBiosFolder = inBiosFolder || (line.rfind(cwd, 0) == 0 && line.size() > cwd.size());
    EXPECT_TRUE(inBiosFolder) << "nvflash ran elsewhere";
    EXPECT_TRUE(e2e::NoWindowShowsControl(program.pid, kMsgText)) << "a message after a good save";
    End();
}

TEST_F(BiosE2e, FlashAsksFirstThenFlashesTheChosenBackupRomAndLeavesIt) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::wstring source = userFolder + L"backup.rom";
    ASSERT_TRUE(e2e::WriteBytes(source, SimBiosImage()));

    // Declined: no file dialog, nothing run.
    ASSERT_TRUE(e2e::Click(bios, kBiosLoad));
    HWND question = e2e::WaitForMessageWith(program.pid, kMsgNo, 20000);
    ASSERT_NE(question, nullptr) << "no flash confirmation";
    EXPECT_EQ(e2e::TextOf(question, kMsgText), kFlashQuestion);
    ASSERT_TRUE(e2e::Click(question, kMsgNo));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::NoWindowShowsControl(program.pid, kMsgText); }, 5000));
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(bios, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer), 0);
    EXPECT_FALSE(AnyFileDialog(program.pid)) << "a file dialog after the flash was declined";
    EXPECT_TRUE(Log().empty()) << "nvflash ran after the flash was declined";

    // Accepted: the user's own "backup.rom" is flashed whole and still there afterwards.
    ASSERT_NO_FATAL_FAILURE(FlashFrom(source));
    const std::string flashed = "flashed " + std::to_string(kSimBiosImageBytes) + " " + SimImageHash(SimBiosImage());
    EXPECT_TRUE(e2e::WaitUntil([&] { return HasLine(Log(), flashed); }, 20000)) << "nothing flashed";
    const std::vector<std::string> log = Log();
    EXPECT_TRUE(HasLine(log, "cmdline \"nvflash.exe\" \"backup.rom\" \"-A\" \"-6\""));
    EXPECT_TRUE(HasLine(log, "name nvflash64.exe"));
    EXPECT_TRUE(HasLine(log, "exit 0"));
    EXPECT_TRUE(NothingLeft()) << "the work folder stayed";
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(bios) != FALSE; }, 5000));
    EXPECT_EQ(e2e::ReadBytes(source), SimBiosImage()) << "the chosen file changed";
    EXPECT_TRUE(e2e::NoWindowShowsControl(program.pid, kMsgText)) << "a message after a good flash";
    End();
}

TEST_F(BiosE2e, FailingNvflashGivesItsMessageAndLeavesTheFilesAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::wstring source = userFolder + L"card 100%.rom";
    ASSERT_TRUE(e2e::WriteBytes(source, SimBiosImage()));
    const std::wstring target = userFolder + L"failed 50%.rom";

    struct Case {
        const char* what;
        bool save;
        const char* behaviour;
        bool removeTool;
    };
    const Case cases[] = {
        {"save, exit code 3 after a partial image", true, "partial 100\nexit 3\n", false},
        {"save, exit code 0 without an image", true, "nofile\n", false},
        {"flash, exit code 3", false, "exit 3\n", false},
        {"flash, no tool to start", false, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Behave(c.behaviour);
        if (c.removeTool) {
            DeleteFileW((biosFolder + L"nvflash64.exe").c_str());
            DeleteFileW((biosFolder + L"nvflash32.exe").c_str());
        }
        const size_t runsBefore = CountOf(Log(), "run");
        if (c.save) {
            ASSERT_NO_FATAL_FAILURE(SaveAs(target));
        } else {
            ASSERT_NO_FATAL_FAILURE(FlashFrom(source));
        }
        EXPECT_TRUE(FailureShownAndClosed(&c == &cases[0])) << "no failure message";
        EXPECT_EQ(CountOf(Log(), "run"), runsBefore + (c.removeTool ? 0 : 1));
        EXPECT_FALSE(fs::exists(fs::path(target))) << "a file at the chosen name";
        EXPECT_EQ(e2e::ReadBytes(source), SimBiosImage()) << "the chosen file changed";
        EXPECT_TRUE(NothingLeft()) << "the work folder stayed";
        EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(main) && IsWindowEnabled(bios); }, 5000));
    }
    End();
}

}  // namespace
