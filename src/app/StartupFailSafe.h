#pragma once
#include <cstdint>
#include <string_view>

#include "platform/ProgramFolder.h"

// The start-up overclock's fail-safe: a record in the card's configuration file, in a section of
// its own, set right before the start-up overclock reaches the card and cleared once the program
// has run for kFailSafeClearMs after it. A record found at the next start means the program or the
// system died in between, and that start leaves the card alone.
inline constexpr std::string_view kFailSafeSection = "Startup FailSafe";
inline constexpr std::string_view kFailSafeKey = "OverclockPending";
inline constexpr uint32_t kFailSafeClearMs = 60000;

inline constexpr std::string_view kFailSafeLeftoverText =
    "上次启动超频后程序或系统没有正常运行，本次启动未应用超频设置。";
inline constexpr std::string_view kFailSafeShiftText = "启动时按住了Shift键，本次启动未应用超频设置。";

// Why the start-up overclock runs or not.
enum class StartupOverclock {
    None,          // nothing to apply at start-up
    Apply,         // applied, with the record set first
    SkipLeftover,  // the record of the last start is still there
    SkipShift,     // the user holds Shift
    SkipCommand,   // a profile named on the command line takes its place
};

// True when the last start's record was never cleared.
bool FailSafeRecordLeft(const ProgramFolder& folder, std::string_view configName);
// Sets (pending) or clears the record, by the configuration file's crash-safe replace; 0 when written.
int WriteFailSafeRecord(const ProgramFolder& folder, std::string_view configName, bool pending);

// The start-up decision: `wanted` when the settings ask for a start-up overclock.
StartupOverclock DecideStartupOverclock(bool wanted, bool commandProfile, bool shiftHeld, bool recordLeft);

// The message the decision shows once, or empty.
std::string_view StartupOverclockText(StartupOverclock decision);
