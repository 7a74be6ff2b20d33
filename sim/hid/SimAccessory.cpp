#include "sim/hid/SimAccessory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr uint8_t kReportId = 0x3F;
constexpr size_t kPayloadPerReport = 62;
constexpr size_t kBlockSize = 200;

void AppendJournal(const std::string& file, const std::vector<uint8_t>& command) {
    if (file.empty()) return;
    std::FILE* out = std::fopen(file.c_str(), "ab");
    if (!out) return;
    for (size_t i = 0; i < command.size(); ++i) std::fprintf(out, i ? " %02X" : "%02X", command[i]);
    std::fputc('\n', out);
    std::fclose(out);
}

}  // namespace

std::vector<std::vector<uint8_t>> SimFrameReports(const std::vector<uint8_t>& payload, size_t reportLength) {
    std::vector<std::vector<uint8_t>> reports;
    for (size_t offset = 0; offset < payload.size(); offset += kPayloadPerReport) {
        const size_t n = std::min(kPayloadPerReport, payload.size() - offset);
        std::vector<uint8_t> report(std::max(reportLength, n + 2), 0);
        report[0] = kReportId;
        report[1] = static_cast<uint8_t>(n);
        std::copy_n(payload.begin() + offset, n, report.begin() + 2);
        reports.push_back(std::move(report));
    }
    return reports;
}

void SimAccessory::OnOutputReport(const std::vector<uint8_t>& report, SimHidInterface& self) {
    if (report.size() < 9 || report[0] != kReportId || report[1] != 7) return;
    const std::vector<uint8_t> command(report.begin() + 2, report.begin() + 9);
    std::vector<uint8_t> reply;
    {
        std::lock_guard<std::mutex> guard(lock);
        commands.push_back(command);
        switch (command[0]) {
            case 0xF0:
                std::copy_n(command.begin() + 1, 4, settings.begin());
                break;
            case 0xF1:
                std::copy_n(command.begin() + 1, 4, settings.begin() + 4);
                break;
            case 0xF3:
                std::copy_n(command.begin() + 1, 2, settings.begin() + 8);
                break;
            case 0xF4:
                settings = kDefaults;
                break;
            case 0xF5:
                reply = StateBlockLocked();
                break;
            default:
                break;
        }
    }
    AppendJournal(journal, command);
    for (auto& bytes : SimFrameReports(reply, self.caps.inputReportLength))
        self.reads.push_back({SimHidRead::Kind::Report, std::move(bytes)});
}

std::array<uint8_t, 10> SimAccessory::Settings() const {
    std::lock_guard<std::mutex> guard(lock);
    return settings;
}

void SimAccessory::SetSettings(const std::array<uint8_t, 10>& newSettings) {
    std::lock_guard<std::mutex> guard(lock);
    settings = newSettings;
}

std::vector<std::vector<uint8_t>> SimAccessory::Commands() const {
    std::lock_guard<std::mutex> guard(lock);
    return commands;
}

void SimAccessory::SetStateMark(uint8_t newMark) {
    std::lock_guard<std::mutex> guard(lock);
    mark = newMark;
}

std::vector<uint8_t> SimAccessory::StateBlock() const {
    std::lock_guard<std::mutex> guard(lock);
    return StateBlockLocked();
}

std::vector<uint8_t> SimAccessory::StateBlockLocked() const {
    // The bytes the program does not read carry a running count, so a misplaced read shows.
    std::vector<uint8_t> block(kBlockSize);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i);
    block[99] = mark;
    std::copy(settings.begin(), settings.end(), block.begin() + 100);
    return block;
}

int AddSimAccessory(SimHidSystem& system, std::shared_ptr<SimAccessory> accessory,
                    const std::u16string& serial, int instance) {
    SimHidInterface it;
    it.path = SimHidPath(0x2047, 0x0310, instance);
    it.vendorId = 0x2047;
    it.productId = 0x0310;
    it.serial = serial;
    it.responder = std::move(accessory);
    return system.Add(std::move(it));
}

std::unique_ptr<SimHidSystem> SimAccessoriesFromEnvironment() {
    const char* serials = std::getenv("CORALVANE_SIM_ACCESSORY");
    if (!serials) return nullptr;
    const char* journalFile = std::getenv("CORALVANE_SIM_ACCESSORY_JOURNAL");
    auto system = std::make_unique<SimHidSystem>(true);
    std::string text(serials);
    int instance = 0;
    size_t start = 0;
    while (start <= text.size() && instance < 8) {
        const size_t end = std::min(text.find(',', start), text.size());
        const std::string serial = text.substr(start, end - start);
        // Each accessory keeps its own settings; all of them write to the one journal.
        AddSimAccessory(*system, std::make_shared<SimAccessory>(journalFile ? journalFile : ""),
                        std::u16string(serial.begin(), serial.end()), instance++);
        start = end + 1;
    }
    return system;
}
