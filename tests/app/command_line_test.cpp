#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

namespace {

TEST(CommandLineTest, SwitchesAndTheirCombinations) {
    struct Case {
        std::vector<std::string> args;
        int profile;
        bool quit;
        bool help;
    };
    const Case cases[] = {
        {{}, -1, false, false},
        {{"-Profile1"}, 0, false, false},
        {{"-Profile2"}, 1, false, false},
        {{"-Profile3"}, 2, false, false},
        {{"/profile2", "/QUIT"}, 1, true, false},
        {{"-Quit", "-PROFILE3"}, 2, true, false},
        {{"-Profile1", "-Quit", "-Quit"}, 0, true, false},
        {{"-Help"}, -1, false, true},
        {{"/?"}, -1, false, true},
        // Help answers whatever else is there, even a -Quit that has nothing to follow.
        {{"-Quit", "-help"}, -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const ParsedCommandLine parsed = ParseCommandLine(c.args);
        ASSERT_TRUE(parsed.Ok()) << parsed.error;
        EXPECT_EQ(parsed.command.profileIndex, c.profile);
        EXPECT_EQ(parsed.command.quit, c.quit);
        EXPECT_EQ(parsed.command.help, c.help);
        EXPECT_EQ(parsed.command.HasWork(), c.profile >= 0);
        EXPECT_EQ(parsed.command.Empty(), c.args.empty());
    }
}

TEST(CommandLineTest, BadInputIsRefusedWithAMessageThatNamesIt) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"-Profile4"}, "配置编号无效：-Profile4\r\n只有 -Profile1、-Profile2、-Profile3。"},
        {{"-Profile"}, "配置编号无效：-Profile\r\n只有 -Profile1、-Profile2、-Profile3。"},
        {{"-Profile0"}, "配置编号无效：-Profile0\r\n只有 -Profile1、-Profile2、-Profile3。"},
        {{"-Profile12"}, "配置编号无效：-Profile12\r\n只有 -Profile1、-Profile2、-Profile3。"},
        {{"-Profile1", "-Profile2"}, "只能指定一个配置。"},
        {{"-Quit"}, "-Quit 只能与 -Profile1 至 -Profile3 一起使用。"},
        {{"-Fast"}, "无法识别的命令行参数：-Fast\r\n可用的参数见 -Help。"},
        {{"Profile1"}, "无法识别的命令行参数：Profile1\r\n可用的参数见 -Help。"},
        {{"-Profile1", ""}, "无法识别的命令行参数：\r\n可用的参数见 -Help。"},
        {{"-"}, "无法识别的命令行参数：-\r\n可用的参数见 -Help。"},
        // A bad switch is refused even beside -Help: nothing is guessed.
        {{"-Help", "-Profil1"}, "无法识别的命令行参数：-Profil1\r\n可用的参数见 -Help。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const ParsedCommandLine parsed = ParseCommandLine(c.args);
        EXPECT_FALSE(parsed.Ok());
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(CommandLineTest, CommandTravelsToARunningCopyAndParsesTheSameThere) {
    CommandLine command;
    command.profileIndex = 2;
    command.quit = true;  // the running copy stays; only the new one ends
    const std::string bytes = EncodeCommand(command);
    EXPECT_EQ(bytes, std::string("-Profile3\0", 10));
    const ParsedCommandLine parsed = ParseCommandLine(DecodeCommandArgs(bytes));
    ASSERT_TRUE(parsed.Ok());
    EXPECT_EQ(parsed.command.profileIndex, 2);
    EXPECT_FALSE(parsed.command.quit);

    EXPECT_EQ(DecodeCommandArgs(std::string("a\0b", 3)), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(DecodeCommandArgs("").empty());
}

TEST(CommandLineTest, ExitCodesAndTexts) {
    EXPECT_EQ(ExitCodeFor(CommandStatus::Done), 0);
    EXPECT_EQ(ExitCodeFor(CommandStatus::BadCommandLine), 2);
    for (CommandStatus failure : {CommandStatus::ProfileEmpty, CommandStatus::OneKeyActive,
                                  CommandStatus::WriteFailed, CommandStatus::NotHandedOver}) {
        EXPECT_EQ(ExitCodeFor(failure), 1);
        EXPECT_FALSE(CommandStatusText(failure).empty());
    }
    EXPECT_EQ(CommandStatusText(CommandStatus::ProfileEmpty), "目标功耗不能为0！");
    EXPECT_TRUE(CommandStatusText(CommandStatus::Done).empty());
}

}  // namespace
