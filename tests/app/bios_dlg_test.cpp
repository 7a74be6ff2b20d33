#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CMsgDlg.h"
#include "bios/CBiosDlg.h"
#include "bios/NvflashTool.h"
#include "config_test_support.h"
#include "ui/HeadlessHost.h"

namespace fs = std::filesystem;

namespace {

// Runs nothing: records each launch and lets the test act as the tool in its work folder.
class FakeToolRunner : public ToolRunner {
public:
    ToolOutcome RunAndWait(const ToolLaunch& launch) override {
        launches.push_back(launch);
        if (act) act(launch);
        return outcome;
    }
    bool SystemIs64Bit() override { return system64; }

    std::vector<ToolLaunch> launches;
    std::function<void(const ToolLaunch&)> act;
    ToolOutcome outcome{true, 0};
    bool system64 = false;
};

class FakeFileDialogs : public FileDialogs {
public:
    bool ChooseSaveFile(const FileDialogRequest& request, fs::path& chosen) override {
        return Answer(request, true, chosen);
    }
    bool ChooseOpenFile(const FileDialogRequest& request, fs::path& chosen) override {
        return Answer(request, false, chosen);
    }

    std::optional<fs::path> answer;  // nullopt: the user cancels
    std::vector<FileDialogRequest> requests;
    std::vector<bool> saves;

private:
    bool Answer(const FileDialogRequest& request, bool save, fs::path& chosen) {
        requests.push_back(request);
        saves.push_back(save);
        if (!answer) return false;
        chosen = *answer;
        return true;
    }
};

constexpr std::string_view kImage = "\x55\xAA video bios image";

class BiosDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(biosFolder);
        fs::create_directories(userFolder);
        ASSERT_EQ(dlg.Create(), 0);
        dlg.ShowWindow(ShowCommand::Show);
    }

    // The tool's --save: the image into the transfer file of its working folder.
    void ToolSaves(std::string_view bytes) {
        tool.act = [bytes](const ToolLaunch& launch) {
            WriteAllBytes(launch.workFolder / std::string(kTransferFile), bytes);
        };
    }

    // Everything left in the BIOS folder besides the tools' own files.
    int StrayEntries() const { return CountFiles(biosFolder); }

    TempFolder dir;
    fs::path biosFolder = dir / "BIOS";
    fs::path userFolder = dir / "My Roms 100%";
    FixedProgramFolder folder{dir.Path()};
    HeadlessHost host{CORALVANE_SKIN_DIR};
    FakeToolRunner tool;
    FakeFileDialogs files;
    CBiosDlg dlg{host, folder, files, tool};
};

TEST(NvflashTool, SixtyFourBitWindowsGetsTheSixtyFourBitToolWhateverTheProgramsBuild) {
    struct Case {
        ProgramBits program;
        bool system64;
        std::string_view tool;
    };
    const Case cases[] = {
        {ProgramBits::Bits64, true, "nvflash64.exe"},
        {ProgramBits::Bits64, false, "nvflash64.exe"},
        {ProgramBits::Bits32, true, "nvflash64.exe"},
        {ProgramBits::Bits32, false, "nvflash32.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NvflashName(c.program, c.system64), c.tool) << int(c.program) << " " << c.system64;
        EXPECT_EQ(NvflashPath("C:/Program Files/app", c.program, c.system64),
                  fs::path("C:/Program Files/app") / "BIOS" / std::string(c.tool));
    }
}

TEST_F(BiosDlgTest, SaveRunsTheToolInAPrivateFolderAndMovesTheImageToTheChosenFile) {
    const fs::path target = userFolder / "card 1%.rom";
    files.answer = target;
    fs::path seenFolder;
    tool.act = [&](const ToolLaunch& launch) {
        seenFolder = launch.workFolder;
        EXPECT_TRUE(fs::is_directory(launch.workFolder));
        EXPECT_EQ(CountFiles(launch.workFolder), 0) << "the work folder starts empty";
        WriteAllBytes(launch.workFolder / "backup.rom", kImage);
    };

    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kSaveId));

    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(files.saves[0]);
    EXPECT_EQ(files.requests[0].initialName, "*.rom");
    EXPECT_EQ(files.requests[0].defaultExtension, "*");
    EXPECT_EQ(files.requests[0].filter, "rom file(*.rom)|*.rom|");
    ASSERT_EQ(tool.launches.size(), 1u);
    const ToolLaunch& launch = tool.launches[0];
    EXPECT_EQ(launch.program, NvflashPath(dir.Path(), kThisProgramBits, false));
    EXPECT_EQ(launch.arguments, (std::vector<std::string>{"nvflash.exe", "--save", "backup.rom"}));
    EXPECT_EQ(seenFolder.parent_path(), biosFolder);
    EXPECT_EQ(ReadAllBytes(target), kImage);
    EXPECT_TRUE(host.ModalRuns().empty()) << "success shows nothing";
    EXPECT_EQ(StrayEntries(), 0) << "the work folder is gone";
    EXPECT_FALSE(dlg.IsBusy());
}

TEST_F(BiosDlgTest, EveryFailedSaveShowsTheFailureAndLeavesTheChosenFileAsItWas) {
    struct Case {
        const char* name;
        ToolOutcome outcome;
        std::optional<std::string> image;  // what the tool leaves; nullopt: nothing
        bool targetFolderMissing = false;
    };
    const Case cases[] = {
        {"tool not started", {false, -1}, std::nullopt},
        {"exit code 3 after a partial image", {true, 3}, std::string(kImage.substr(0, 4))},
        {"exit 0 without a file", {true, 0}, std::nullopt},
        {"exit 0 with an empty file", {true, 0}, std::string()},
        {"the move fails", {true, 0}, std::string(kImage), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path target =
            c.targetFolderMissing ? userFolder / "gone" / "card.rom" : userFolder / "card.rom";
        if (!c.targetFolderMissing) WriteAllBytes(target, "the user's old file");
        files.answer = target;
        tool.outcome = c.outcome;
        tool.act = [&](const ToolLaunch& launch) {
            if (c.image) WriteAllBytes(launch.workFolder / "backup.rom", *c.image);
        };
        const size_t messagesBefore = host.ModalRuns().size();
        host.AnswerModal(kIdCancel);  // Close on the failure

        ASSERT_TRUE(host.Click(dlg, CBiosDlg::kSaveId));

        ASSERT_EQ(host.ModalRuns().size(), messagesBefore + 1);
        EXPECT_EQ(host.ModalRuns().back().Text(CMsgDlg::kTextId), "保存BIOS失败！");
        if (c.targetFolderMissing) {
            EXPECT_FALSE(fs::exists(target));
        } else {
            EXPECT_EQ(ReadAllBytes(target), "the user's old file");
            EXPECT_EQ(CountFiles(userFolder), 1) << "nothing written beside it";
        }
        EXPECT_EQ(StrayEntries(), 0);
    }
}

TEST_F(BiosDlgTest, CancelledSaveRunsNothing) {
    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kSaveId));
    EXPECT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(tool.launches.empty());
    EXPECT_TRUE(host.ModalRuns().empty());
}

TEST_F(BiosDlgTest, LoadAsksFirstAndDecliningOrCancellingRunsNothing) {
    host.AnswerModal(2);
    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kLoadId));
    ASSERT_EQ(host.ModalRuns().size(), 1u);
    EXPECT_EQ(host.ModalRuns()[0].Text(CMsgDlg::kTextId), "刷新BIOS可能会导致显卡故障，确认继续？");
    EXPECT_TRUE(host.ModalRuns()[0].Visible(CMsgDlg::kNoId));
    EXPECT_TRUE(files.requests.empty()) << "no file dialog after No";

    host.AnswerModal(1);
    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kLoadId));
    EXPECT_EQ(files.requests.size(), 1u);
    EXPECT_FALSE(files.saves[0]);
    EXPECT_TRUE(tool.launches.empty());
    EXPECT_EQ(host.ModalRuns().size(), 2u) << "a cancelled file dialog shows nothing more";
}

TEST_F(BiosDlgTest, LoadFlashesACopyOfTheChosenFileAndNeverTouchesIt) {
    // The user's own file has the transfer file's name.
    const fs::path source = userFolder / "backup.rom";
    WriteAllBytes(source, kImage);
    files.answer = source;
    std::string flashed;
    tool.act = [&](const ToolLaunch& launch) {
        EXPECT_EQ(launch.workFolder.parent_path(), biosFolder);
        flashed = ReadAllBytes(launch.workFolder / "backup.rom");
    };
    host.AnswerModal(1);

    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kLoadId));

    ASSERT_EQ(tool.launches.size(), 1u);
    EXPECT_EQ(tool.launches[0].arguments,
              (std::vector<std::string>{"nvflash.exe", "backup.rom", "-A", "-6"}));
    EXPECT_EQ(flashed, kImage);
    EXPECT_EQ(ReadAllBytes(source), kImage);
    EXPECT_EQ(host.ModalRuns().size(), 1u) << "only the question";
    EXPECT_EQ(StrayEntries(), 0);
}

TEST_F(BiosDlgTest, EveryFailedLoadShowsTheFailureAndKeepsTheUsersFile) {
    const fs::path source = userFolder / "backup.rom";
    WriteAllBytes(source, kImage);
    struct Case {
        const char* name;
        fs::path chosen;
        ToolOutcome outcome;
        size_t launches;
    };
    const Case cases[] = {
        {"the copy fails: file gone", userFolder / "missing.rom", {true, 0}, 0},
        {"the copy fails: a folder", userFolder, {true, 0}, 0},
        {"tool not started", source, {false, -1}, 1},
        {"exit code 1", source, {true, 1}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tool.launches.clear();
        tool.outcome = c.outcome;
        files.answer = c.chosen;
        host.AnswerModal(1);
        host.AnswerModal(kIdCancel);  // Close on the failure
        const size_t before = host.ModalRuns().size();

        ASSERT_TRUE(host.Click(dlg, CBiosDlg::kLoadId));

        EXPECT_EQ(tool.launches.size(), c.launches);
        ASSERT_EQ(host.ModalRuns().size(), before + 2);
        EXPECT_EQ(host.ModalRuns().back().Text(CMsgDlg::kTextId), "保存BIOS失败！");
        EXPECT_EQ(ReadAllBytes(source), kImage);
        EXPECT_EQ(CountFiles(userFolder), 1);
        EXPECT_EQ(StrayEntries(), 0);
    }
}

TEST_F(BiosDlgTest, NoActionStartsWhileOneRuns) {
    files.answer = userFolder / "card.rom";
    ToolSaves(kImage);
    const auto save = tool.act;
    tool.act = [&](const ToolLaunch& launch) {
        EXPECT_TRUE(dlg.IsBusy());
        host.Click(dlg, CBiosDlg::kSaveId);
        host.Click(dlg, CBiosDlg::kLoadId);
        save(launch);
    };
    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kSaveId));
    EXPECT_EQ(tool.launches.size(), 1u);
    EXPECT_EQ(files.requests.size(), 1u);
    EXPECT_TRUE(host.ModalRuns().empty());
    EXPECT_EQ(ReadAllBytes(userFolder / "card.rom"), kImage);
}

class RecordingOwner : public SidePanelOwner {
public:
    void CloseSidePanel(int id) override { closed.push_back(id); }
    std::vector<int> closed;
};

TEST_F(BiosDlgTest, CloseTellsTheMainWindowAndHides) {
    RecordingOwner owner;
    dlg.SetOwner(&owner);
    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kCloseId));
    EXPECT_EQ(owner.closed, std::vector<int>{kSideBios});
    EXPECT_FALSE(dlg.Window().visible);
}

TEST_F(BiosDlgTest, MissingBiosFolderFailsWithoutRunningTheTool) {
    fs::remove_all(biosFolder);
    files.answer = userFolder / "card.rom";
    host.AnswerModal(kIdCancel);
    ASSERT_TRUE(host.Click(dlg, CBiosDlg::kSaveId));
    EXPECT_TRUE(tool.launches.empty());
    ASSERT_EQ(host.ModalRuns().size(), 1u);
    EXPECT_EQ(host.ModalRuns()[0].Text(CMsgDlg::kTextId), "保存BIOS失败！");
    EXPECT_FALSE(fs::exists(biosFolder));
}

}  // namespace
