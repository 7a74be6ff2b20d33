#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "sim/SimDriver.h"

// The simulated driver as the Windows program sees the real one: a library in the system directory
// exporting nvapi_QueryInterface. CORALVANE_SIM_SCENARIO names a scenario file (the built-in one
// when unset); CORALVANE_SIM_JOURNAL names a file that receives one text line per driver call.
namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    DWORD written = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(written < size ? written : 0);
    return value;
}

bool ReadWholeFile(const std::wstring& path, std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 4 * 1024 * 1024;
    if (ok) {
        content.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = content.empty() ||
             (ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) &&
              read == content.size());
    }
    CloseHandle(file);
    return ok;
}

void AppendLine(const std::wstring& path, const std::string& line) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// A scenario that cannot be read leaves the library without functions, so the program meets
// the same failure as with a broken driver installation; the reason goes to stderr and the journal.
SimDriver* CreateSimulator() {
    std::wstring journalPath = EnvironmentValue(L"CORALVANE_SIM_JOURNAL");
    std::wstring scenarioPath = EnvironmentValue(L"CORALVANE_SIM_SCENARIO");
    SimScenario scenario = DefaultScenario();
    if (!scenarioPath.empty()) {
        std::string content, error;
        if (!ReadWholeFile(scenarioPath, content)) {
            error = "scenario file cannot be read";
        } else if (!ParseScenario(content, scenario, error)) {
            error = "scenario: " + error;
        }
        if (!error.empty()) {
            std::fprintf(stderr, "simulated driver: %s\n", error.c_str());
            if (!journalPath.empty()) AppendLine(journalPath, "error " + error);
            return nullptr;
        }
    }
    // Lives until the process ends: the program may call the driver up to its last moment.
    auto* driver = new SimDriver(std::move(scenario));
    driver->KeepJournal(false);
    if (!journalPath.empty()) {
        driver->SetJournalSink([journalPath](const SimJournalEntry& entry) {
            AppendLine(journalPath, FormatJournalEntry(entry));
        });
    }
    return driver;
}

}  // namespace

extern "C" void* NVAPI_CALL nvapi_QueryInterface(uint32_t queryId) {
    static SimDriver* driver = [] {
        try {
            return CreateSimulator();
        } catch (...) {
            return static_cast<SimDriver*>(nullptr);
        }
    }();
    return driver ? driver->QueryInterface()(queryId) : nullptr;
}
