#include "Output.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "ImageFiles.h"
#include "PngFile.h"
#include "Skin.h"

namespace skingen {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

Skin DrawSkin() {
    Skin skin;
    DrawMainBackground(skin);
    DrawSideWindowBackgrounds(skin);
    DrawPanelBackgrounds(skin);
    DrawDials(skin);
    DrawControlBitmaps(skin);
    DrawMainIcons(skin);
    DrawToolIcons(skin);
    DrawLightingIcons(skin);
    return skin;
}

// Windows finds files regardless of letter case, so two names differing only in case would collide.
bool NamesAreDistinct(const Skin& skin) {
    std::set<std::string> seen;
    for (const IconItem& icon : skin.Icons()) {
        if (!seen.insert(Lower(icon.name)).second) {
            std::fprintf(stderr, "skingen: icon %s drawn twice\n", icon.name.c_str());
            return false;
        }
    }
    return true;
}

// Files left from an earlier run under a name no longer drawn would be shipped with the program.
void RemoveStale(const fs::path& dir, const std::set<std::string>& keep) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.is_regular_file(ec) && !keep.count(entry.path().filename().string()))
            fs::remove(entry.path(), ec);
    }
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace

int WriteSkin(const std::string& outDir) {
    Skin skin = DrawSkin();
    if (!NamesAreDistinct(skin)) return 1;
    fs::path root(outDir), bitmaps = root / "bitmaps", pngs = root / "png", icons = root / "icons";
    std::error_code ec;
    fs::create_directories(bitmaps, ec);
    if (!ec) fs::create_directories(pngs, ec);
    if (!ec) fs::create_directories(icons, ec);
    if (ec) {
        std::fprintf(stderr, "skingen: cannot create %s: %s\n", outDir.c_str(), ec.message().c_str());
        return 1;
    }

    std::vector<std::pair<fs::path, std::vector<uint8_t>>> files;
    std::ostringstream rc, manifest;
    std::set<std::string> bitmapFiles, pngFiles, iconFiles;
    std::vector<BitmapItem> sorted(skin.Bitmaps().begin(), skin.Bitmaps().end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    for (const BitmapItem& item : sorted) {
        std::string file = std::to_string(item.number) + ".bmp";
        bitmapFiles.insert(file);
        std::vector<uint8_t> bmp = EncodeBmp(item.image);
        // The program carries the bitmaps compressed (resource type PNG) and decodes them when
        // first drawn; the BMP files serve the headless host and the tests.
        std::string png = std::to_string(item.number) + ".png";
        pngFiles.insert(png);
        files.emplace_back(pngs / png, PngFromBmp(bmp));
        files.emplace_back(bitmaps / file, std::move(bmp));
        rc << item.number << " PNG \"png/" << png << "\"\n";
        manifest << "bitmap " << item.number << ' ' << item.image.Width() << ' ' << item.image.Height()
                 << '\n';
    }
    for (const IconItem& item : skin.Icons()) {
        iconFiles.insert(item.name);
        files.emplace_back(icons / item.name, EncodeIco({item.image}));
        manifest << "icon " << item.name << ' ' << item.image.Width() << ' ' << item.image.Height() << '\n';
    }
    std::vector<Canvas> app = DrawAppIcon();
    files.emplace_back(root / "app.ico", EncodeIco(app));
    for (const Canvas& size : app)
        manifest << "appicon app.ico " << size.Width() << ' ' << size.Height() << '\n';
    files.emplace_back(root / "skin.rc", Bytes(rc.str()));
    files.emplace_back(root / "appicon.rc", Bytes("128 ICON \"app.ico\"\n"));
    // The manifest goes last, so a run that stops half-way never leaves a manifest promising missing files.
    files.emplace_back(root / "skin.txt", Bytes(manifest.str()));
    for (const auto& [path, bytes] : files) {
        if (!WriteFile(path.string(), bytes)) {
            std::fprintf(stderr, "skingen: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    RemoveStale(bitmaps, bitmapFiles);
    RemoveStale(pngs, pngFiles);
    RemoveStale(icons, iconFiles);
    return 0;
}

int CheckSkin(const std::string& outDir) {
    fs::path root(outDir);
    std::ifstream manifest(root / "skin.txt");
    std::vector<uint8_t> rcBytes;
    if (!manifest || !ReadFile((root / "skin.rc").string(), rcBytes)) {
        std::fprintf(stderr, "skingen: %s has no skin.txt or skin.rc\n", outDir.c_str());
        return 1;
    }
    std::string rc(rcBytes.begin(), rcBytes.end());
    int problems = 0, files = 0;
    std::set<std::string> listed;
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string kind, name;
        int width = 0, height = 0;
        if (!(fields >> kind >> name >> width >> height) || width <= 0 || height <= 0) {
            std::fprintf(stderr, "skingen: bad manifest line: %s\n", line.c_str());
            ++problems;
            continue;
        }
        fs::path path = kind == "bitmap" ? root / "bitmaps" / (name + ".bmp")
                        : kind == "icon" ? root / "icons" / name
                                         : root / name;
        std::vector<uint8_t> bytes;
        std::string problem;
        bool valid = ReadFile(path.string(), bytes);
        if (!valid)
            problem = "missing";
        else if (kind == "bitmap")
            valid = CheckBmp(bytes, width, height, problem);
        else
            valid = CheckIco(bytes, width, height, problem);
        if (valid && kind == "bitmap") {
            const fs::path png = root / "png" / (name + ".png");
            std::vector<uint8_t> pngBytes;
            if (!ReadFile(png.string(), pngBytes)) {
                valid = false;
                problem = "no PNG";
            } else if (!PngMatchesBmp(pngBytes, bytes, problem)) {
                valid = false;
                problem = "PNG: " + problem;
            } else if (rc.find(name + " PNG \"png/" + name + ".png\"") == std::string::npos) {
                valid = false;
                problem = "not named in skin.rc";
            }
            listed.insert(png.lexically_relative(root).generic_string());
        }
        listed.insert(path.lexically_relative(root).generic_string());
        if (!valid) {
            std::fprintf(stderr, "skingen: %s: %s\n", path.string().c_str(), problem.c_str());
            ++problems;
        }
        ++files;
    }
    // Everything in icons/ is shipped beside the program, so nothing unlisted may sit there.
    for (const char* dir : {"bitmaps", "png", "icons"}) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(root / dir, ec)) {
            if (!listed.count(entry.path().lexically_relative(root).generic_string())) {
                std::fprintf(stderr, "skingen: %s is not in skin.txt\n", entry.path().string().c_str());
                ++problems;
            }
        }
    }
    if (files == 0) {
        std::fprintf(stderr, "skingen: skin.txt lists nothing\n");
        return 1;
    }
    return problems == 0 ? 0 : 1;
}

}  // namespace skingen
