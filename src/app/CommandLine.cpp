#include "app/CommandLine.h"

#include <cctype>

namespace {

constexpr std::string_view kHelp =
    "命令行参数：\r\n"
    "-Profile1 至 -Profile3  应用该配置\r\n"
    "-Quit  应用配置后退出\r\n"
    "-Log 文件  把传感器数据记入CSV文件\r\n"
    "-Help  显示本说明";

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool StartsWithName(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine parsed;
    CommandLine& command = parsed.command;
    auto fail = [&](std::string text) {
        parsed.error = std::move(text);
        return parsed;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string_view name = !arg.empty() && (arg[0] == '-' || arg[0] == '/')
                                          ? std::string_view(arg).substr(1)
                                          : std::string_view();
        if (SameName(name, "Quit")) {
            command.quit = true;
        } else if (SameName(name, "Help") || SameName(name, "?")) {
            command.help = true;
        } else if (SameName(name, "Log")) {
            if (i + 1 >= args.size() || args[i + 1].empty()) return fail("-Log 后面缺少日志文件名。");
            if (!command.logPath.empty()) return fail("只能指定一个日志文件。");
            command.logPath = args[++i];
        } else if (StartsWithName(name, "Profile")) {
            const std::string_view number = name.substr(7);
            if (number.size() != 1 || number[0] < '1' || number[0] > '3')
                return fail("配置编号无效：" + arg + "\r\n只有 -Profile1、-Profile2、-Profile3。");
            if (command.profileIndex >= 0) return fail("只能指定一个配置。");
            command.profileIndex = number[0] - '1';
        } else {
            return fail("无法识别的命令行参数：" + arg + "\r\n可用的参数见 -Help。");
        }
    }
    // Help answers whatever else was asked; quitting only makes sense after a profile.
    if (!command.help && command.quit && command.profileIndex < 0)
        return fail("-Quit 只能与 -Profile1 至 -Profile3 一起使用。");
    return parsed;
}

std::string_view CommandLineHelp() {
    return kHelp;
}

std::string_view CommandStatusText(CommandStatus status) {
    switch (status) {
        case CommandStatus::Done:
            return {};
        case CommandStatus::ProfileEmpty:
            return "目标功耗不能为0！";
        case CommandStatus::OneKeyActive:
            return "一键超频已开启，配置未应用。";
        case CommandStatus::WriteFailed:
            return "显卡没有接受这些设置，配置未能应用！";
        case CommandStatus::LogFailed:
            return "无法写入日志文件！";
        case CommandStatus::NotHandedOver:
            return "正在运行的Coralvane没有响应，命令未执行！";
        case CommandStatus::BadCommandLine:
            return "命令行参数有误！";
    }
    return "命令行参数有误！";
}

int ExitCodeFor(CommandStatus status) {
    if (status == CommandStatus::Done) return 0;
    return status == CommandStatus::BadCommandLine ? 2 : 1;
}

std::string EncodeCommand(const CommandLine& command) {
    std::string bytes;
    auto add = [&](std::string_view arg) {
        bytes += arg;
        bytes += '\0';
    };
    if (command.profileIndex >= 0) add("-Profile" + std::to_string(command.profileIndex + 1));
    if (!command.logPath.empty()) {
        add("-Log");
        add(command.logPath);
    }
    return bytes;
}

std::vector<std::string> DecodeCommandArgs(std::string_view bytes) {
    std::vector<std::string> args;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\0');
        args.emplace_back(bytes.substr(0, end));
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return args;
}
