#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the program was asked to do on its command line (switches start with '-' or '/', any case):
// -Profile1..-Profile3 apply that profile, -Quit ends the program afterwards, -Log FILE records the
// sensors into FILE, -Help lists the switches.
struct CommandLine {
    int profileIndex = -1;  // 0..2, or -1 when no profile is named
    bool quit = false;
    bool help = false;
    std::string logPath;  // UTF-8; empty when no log is asked for

    // Something for the main window to do (help is answered before it starts).
    bool HasWork() const { return profileIndex >= 0 || !logPath.empty(); }
    bool Empty() const { return !HasWork() && !quit && !help; }
};

struct ParsedCommandLine {
    CommandLine command;
    std::string error;  // empty when the command line is good; then it says what is wrong
    bool Ok() const { return error.empty(); }
};

// The arguments after the program's name, UTF-8.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The list of switches, for -Help.
std::string_view CommandLineHelp();

// How a command ended; the same numbers travel back from a running copy.
enum class CommandStatus : int {
    Done = 0,
    ProfileEmpty = 1,    // the profile was never saved (its power target is 0)
    OneKeyActive = 2,    // the one-key overclock holds the card; Load is refused the same way
    WriteFailed = 3,     // the driver refused a write (or there is no driver)
    LogFailed = 4,       // the log file cannot be opened for appending
    NotHandedOver = 5,   // another copy runs but no main window of it took the command
    BadCommandLine = 6,  // answered before anything happened
};

// The text the message dialog and standard error show for a status other than Done.
std::string_view CommandStatusText(CommandStatus status);

// Exit codes: 0 when everything asked for was done, 2 for a command line that cannot be used, 1
// for every other failure.
int ExitCodeFor(CommandStatus status);

// A command sent to a running copy carries this tag; the copy's main window answers
// kCommandAnswerBase + the status once it ran the command, or kCommandAnswerBusy while it is still
// starting. Any other answer (0 from every other window) means the command was not taken.
inline constexpr uint32_t kCommandTag = 0x434C4331;
inline constexpr intptr_t kCommandAnswerBase = 0x43560000;
inline constexpr intptr_t kCommandAnswerBusy = kCommandAnswerBase + 0xFF;

// The command as it travels to a running copy: its arguments, each ended by a NUL byte, so the
// receiver parses it with the same rules. A log path must already be absolute.
std::string EncodeCommand(const CommandLine& command);
std::vector<std::string> DecodeCommandArgs(std::string_view bytes);
