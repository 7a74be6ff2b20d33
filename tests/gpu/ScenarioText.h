#pragma once
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "sim/SimScenario.h"

// A scenario from inline text; a parse error fails the test with the parser's message.
inline SimScenario ScenarioFromText(std::string_view text) {
    SimScenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    return scenario;
}

// A scenario with `count` GPUs of one kind and nothing else set.
inline std::string GpusText(int count, bool tcc) {
    std::string text;
    for (int i = 0; i < count; ++i) text += tcc ? "[gpu]\ntcc = yes\n" : "[gpu]\n";
    return text;
}
