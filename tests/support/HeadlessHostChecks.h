#pragma once
// Included by one source file of every test program that drives dialogs headless: a scripted
// answer no dialog used fails the running test. A modal dialog that ran without a scripted answer
// is reported by the host too, but does not fail the test yet: the settings, BIOS and accessory
// tests still leave some of their notices to the host's Cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/HeadlessHost.h"

inline void FailTestOnScriptProblems() {
    HeadlessHost::SetScriptProblemHandler([](const std::string& problem) {
        if (problem.rfind("modal dialog ", 0) != 0) ADD_FAILURE() << problem;
    });
}

inline const bool kHeadlessHostChecksInstalled = [] {
    FailTestOnScriptProblems();
    return true;
}();

// For a test of the checks themselves: collects the problems instead while it lives.
class CollectedScriptProblems {
public:
    CollectedScriptProblems() {
        HeadlessHost::SetScriptProblemHandler([this](const std::string& problem) { problems.push_back(problem); });
    }
    ~CollectedScriptProblems() { FailTestOnScriptProblems(); }
    CollectedScriptProblems(const CollectedScriptProblems&) = delete;
    CollectedScriptProblems& operator=(const CollectedScriptProblems&) = delete;

    std::vector<std::string> problems;
};
