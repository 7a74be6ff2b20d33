#pragma once
// Included by one source file of every test program that drives dialogs headless: a scripted
// answer no dialog used, and a modal dialog that ran without a scripted answer, fail the running
// test. The host's report names the dialog's template and the texts it showed, so the author sees
// which answer to script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/HeadlessHost.h"

inline void FailTestOnScriptProblems() {
    HeadlessHost::SetScriptProblemHandler([](const std::string& problem) { ADD_FAILURE() << problem; });
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
