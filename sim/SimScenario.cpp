#include "sim/SimScenario.h"

#include <cstdio>
#include <exception>

#include "sim/SimParse.h"
#include "sim/SimRegistry.h"

namespace {

// A scenario file is a few hundred lines at most; anything far larger is not a scenario.
constexpr size_t kMaxScenarioBytes = 4 * 1024 * 1024;

bool ParseLines(std::string_view text, SimScenario& built, std::string& error) {
    const SimRegistry& registry = TheSimRegistry();
    std::string section;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimText(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        auto fail = [&](const std::string& reason) {
            error = "line " + std::to_string(lineNumber) + ": " + reason;
            return false;
        };

        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail("section header without ']'");
            std::string name(TrimText(line.substr(1, line.size() - 2)));
            const SimSectionOpener* open = registry.FindSection(name);
            if (!open) return fail("unknown section [" + name + "]");
            std::string reason;
            if (!(*open)(built, reason)) return fail(reason);
            section = name;
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string_view::npos) return fail("expected 'key = value'");
        std::string key(TrimText(line.substr(0, equals)));
        std::string_view value = TrimText(line.substr(equals + 1));
        if (section.empty()) return fail("key '" + key + "' outside a section");
        const SimKeyHandler* handler = registry.FindKey(section, key);
        if (!handler) return fail("unknown key '" + key + "' in [" + section + "]");
        std::string reason;
        SimKeyArgs args{built, value, reason};
        if (!(*handler)(args)) return fail(key + ": " + reason);
    }
    return true;
}

}  // namespace

bool ParseScenario(std::string_view text, SimScenario& scenario, std::string& error) {
    if (text.size() > kMaxScenarioBytes) {
        error = "scenario larger than 4 MB";
        return false;
    }
    try {
        SimScenario built;
        if (!ParseLines(text, built, error)) return false;
        scenario = std::move(built);
        return true;
    } catch (const std::exception& failure) {
        error = std::string("scenario could not be read: ") + failure.what();
        return false;
    }
}

bool LoadScenarioFile(const std::string& path, SimScenario& scenario, std::string& error) {
    // Plain C reads: the driver library links this file, and streams would bring the whole locale
    // machinery into the driver (a third of its code, most of it touched when the first stream opens).
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot open";
        return false;
    }
    std::string content;
    char block[16384];
    size_t got = 0;
    // One byte past the limit is enough for the parser to refuse the file as too large.
    while (content.size() <= kMaxScenarioBytes && (got = std::fread(block, 1, sizeof block, file)) > 0)
        content.append(block, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = path + ": cannot read";
        return false;
    }
    if (!ParseScenario(content, scenario, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

SimScenario DefaultScenario() {
    SimScenario scenario;
    std::string error;
    // The built-in text is checked by the tests; a failure here would be a build mistake.
    ParseScenario(DefaultScenarioText(), scenario, error);
    return scenario;
}
