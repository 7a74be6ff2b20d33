#pragma once
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        std::mt19937_64 gen(rd() ^ static_cast<unsigned long long>(
                                       std::chrono::steady_clock::now().time_since_epoch().count()));
        folder = std::filesystem::temp_directory_path() / ("coralvane-cfg-" + std::to_string(gen()));
        std::filesystem::create_directories(folder);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return folder; }
    std::filesystem::path operator/(std::string_view name) const { return folder / std::string(name); }

private:
    std::filesystem::path folder;
};

inline std::string ReadAllBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAllBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline int CountFiles(const std::filesystem::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}
