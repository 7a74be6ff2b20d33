#pragma once
#include <filesystem>
#include <utility>

// Where the running executable lives: the configuration file and the skin sit beside it.
class ProgramFolder {
public:
    virtual ~ProgramFolder() = default;
    virtual std::filesystem::path ExecutableDir() const = 0;
};

// A folder fixed at construction, for tests and for callers that already know the folder.
class FixedProgramFolder : public ProgramFolder {
public:
    explicit FixedProgramFolder(std::filesystem::path dir) : folder(std::move(dir)) {}
    std::filesystem::path ExecutableDir() const override { return folder; }

private:
    std::filesystem::path folder;
};
