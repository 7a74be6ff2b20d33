#pragma once
// The video BIOS image the simulated nvflash saves, and the hash it records of what it flashes;
// shared with the tests that check both.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

inline constexpr std::size_t kSimBiosImageBytes = 256 * 1024;

// An option ROM signature, a name, then bytes that differ from position to position, so a shifted,
// cut or mixed copy never compares equal.
inline std::string SimBiosImage() {
    std::string image(kSimBiosImageBytes, '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>((i * 131 + (i >> 8) * 7 + 13) & 0xFF);
    const std::string_view head =
        "\x55\xAA"
        "CORALVANE SIMULATED VIDEO BIOS";
    image.replace(0, head.size(), head);
    return image;
}

// FNV-1a, 64 bits, as 16 lower-case hex digits.
inline std::string SimImageHash(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
