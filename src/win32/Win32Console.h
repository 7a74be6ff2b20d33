#pragma once
#include <string_view>

// Writes UTF-8 text to the process's standard output or standard error: to a redirected file or
// pipe as it is, to the console of the program that started us in its own characters. A program
// started from the desktop has neither, and the text goes nowhere.
void WriteStandardOutput(std::string_view text);
void WriteStandardError(std::string_view text);
