#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "sim/SimScenario.h"

// What a scenario key handler sees: the model being built and the value of the current line.
// Gpu() and Display() are the entries of the [gpu] or [display] section the line belongs to.
struct SimKeyArgs {
    SimScenario& scenario;
    std::string_view value;
    std::string& error;  // set it and return false to reject the line

    SimGpu& Gpu() { return scenario.gpus.back(); }
    SimDisplay& Display() { return scenario.displays.back(); }
};

using SimKeyHandler = std::function<bool(SimKeyArgs&)>;
using SimSectionOpener = std::function<bool(SimScenario&, std::string& error)>;

// Everything the simulator's areas contribute: driver functions by query id, and the sections
// and keys of scenario files.
class SimRegistry {
public:
    void AddFunction(uint32_t queryId, void* entry) { functions_[queryId] = entry; }
    void AddSection(const std::string& name, SimSectionOpener open) { sections_[name] = std::move(open); }
    void AddKey(const std::string& section, const std::string& key, SimKeyHandler handler) {
        keys_[section + "." + key] = std::move(handler);
    }

    void* FindFunction(uint32_t queryId) const {
        auto found = functions_.find(queryId);
        return found == functions_.end() ? nullptr : found->second;
    }
    const SimSectionOpener* FindSection(std::string_view name) const {
        auto found = sections_.find(std::string(name));
        return found == sections_.end() ? nullptr : &found->second;
    }
    const SimKeyHandler* FindKey(std::string_view section, std::string_view key) const {
        auto found = keys_.find(std::string(section) + "." + std::string(key));
        return found == keys_.end() ? nullptr : &found->second;
    }

private:
    std::map<uint32_t, void*> functions_;
    std::map<std::string, SimSectionOpener> sections_;
    std::map<std::string, SimKeyHandler> keys_;
};

// The registry filled by every area of kSimAreas, built on first use.
const SimRegistry& TheSimRegistry();

// Turns a C function of any signature into the untyped pointer the query interface hands out.
template <class Function>
void* SimEntry(Function* function) {
    return reinterpret_cast<void*>(function);
}
