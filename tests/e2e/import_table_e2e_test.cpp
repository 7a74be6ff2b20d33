#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Automation.h"

namespace {

// The libraries the loader takes from the system directory whatever the program's folder holds
// (the system's known DLLs, ntdll, and the C runtime the toolchain links against), plus comctl32,
// which the manifest binds to the side-by-side version 6. An elevated program unpacked into a
// writable folder must import nothing else: any other name is searched beside the executable first.
const std::set<std::string> kAllowedImports = {
    "advapi32.dll", "clbcatq.dll", "combase.dll",  "comdlg32.dll", "coml2.dll",    "gdi32.dll",
    "gdiplus.dll",  "imagehlp.dll", "imm32.dll",   "kernel32.dll", "msctf.dll",    "msvcrt.dll",
    "normaliz.dll", "nsi.dll",      "ntdll.dll",   "ole32.dll",    "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",  "shell32.dll",  "shlwapi.dll",
    "user32.dll",   "wldap32.dll",  "ws2_32.dll",  "comctl32.dll",
};

// The names in one import directory (plain or delay-load) of a PE file, lower case. `ok` is false
// when the file is not a PE image the reader understands.
struct Imports {
    bool ok = false;
    std::vector<std::string> plain;
    std::vector<std::string> delayed;
};

template <class T>
bool ReadAt(const std::string& file, size_t offset, T& out) {
    if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
    std::memcpy(&out, file.data() + offset, sizeof(T));
    return true;
}

Imports ReadImports(const std::string& file) {
    Imports result;
    IMAGE_DOS_HEADER dos{};
    if (!ReadAt(file, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return result;
    const size_t nt = static_cast<size_t>(dos.e_lfanew);
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    if (!ReadAt(file, nt, signature) || signature != IMAGE_NT_SIGNATURE || !ReadAt(file, nt + 4, header))
        return result;
    const size_t optional = nt + 4 + sizeof(IMAGE_FILE_HEADER);
    WORD magic = 0;
    if (!ReadAt(file, optional, magic)) return result;
    IMAGE_DATA_DIRECTORY importDir{}, delayDir{};
    if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        IMAGE_OPTIONAL_HEADER64 o{};
        if (!ReadAt(file, optional, o)) return result;
        importDir = o.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        delayDir = o.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    } else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        IMAGE_OPTIONAL_HEADER32 o{};
        if (!ReadAt(file, optional, o)) return result;
        importDir = o.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        delayDir = o.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    } else {
        return result;
    }
    std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
    const size_t sectionTable = optional + header.SizeOfOptionalHeader;
    for (size_t i = 0; i < sections.size(); ++i) {
        if (!ReadAt(file, sectionTable + i * sizeof(IMAGE_SECTION_HEADER), sections[i])) return result;
    }
    auto offsetOf = [&](DWORD rva, size_t& offset) {
        for (const IMAGE_SECTION_HEADER& s : sections) {
            const DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < size) {
                offset = s.PointerToRawData + (rva - s.VirtualAddress);
                return offset < file.size();
            }
        }
        return false;
    };
    auto nameAt = [&](DWORD rva, std::string& name) {
        size_t offset = 0;
        if (!offsetOf(rva, offset)) return false;
        const size_t end = file.find('\0', offset);
        if (end == std::string::npos) return false;
        name = file.substr(offset, end - offset);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return true;
    };
    // Both directories are arrays ended by an all-zero entry; the name's address sits at a known
    // field of each entry.
    auto readDirectory = [&](const IMAGE_DATA_DIRECTORY& dir, size_t entrySize, size_t nameField,
                             std::vector<std::string>& names) {
        if (dir.VirtualAddress == 0) return true;
        size_t offset = 0;
        if (!offsetOf(dir.VirtualAddress, offset)) return false;
        for (;; offset += entrySize) {
            DWORD nameRva = 0;
            if (!ReadAt(file, offset + nameField, nameRva)) return false;
            if (nameRva == 0) return true;
            std::string name;
            if (!nameAt(nameRva, name)) return false;
            names.push_back(name);
        }
    };
    result.ok = readDirectory(importDir, sizeof(IMAGE_IMPORT_DESCRIPTOR), offsetof(IMAGE_IMPORT_DESCRIPTOR, Name),
                              result.plain) &&
                readDirectory(delayDir, sizeof(IMAGE_DELAYLOAD_DESCRIPTOR),
                              offsetof(IMAGE_DELAYLOAD_DESCRIPTOR, DllNameRVA), result.delayed);
    return result;
}

// Both builds sit side by side under the build folder; make test builds both.
std::vector<std::wstring> BothPrograms() {
    std::wstring builds = e2e::BuildDir();
    builds.pop_back();
    builds = builds.substr(0, builds.find_last_of(L"\\/") + 1);
    return {builds + L"win32\\src\\Coralvane.exe", builds + L"win64\\src\\Coralvane.exe"};
}

TEST(ImportTableE2e, BothProgramsImportOnlyKnownSystemLibrariesAndComctl32) {
    for (const std::wstring& exe : BothPrograms()) {
        SCOPED_TRACE(std::string(exe.begin(), exe.end()));
        const std::string bytes = e2e::ReadBytes(exe);
        ASSERT_FALSE(bytes.empty()) << "the program is not built";
        const Imports imports = ReadImports(bytes);
        ASSERT_TRUE(imports.ok) << "not a PE image the reader understands";
        // The reader found the table: every Windows program imports kernel32.
        EXPECT_NE(std::find(imports.plain.begin(), imports.plain.end(), "kernel32.dll"), imports.plain.end());
        for (const std::string& name : imports.plain) EXPECT_TRUE(kAllowedImports.count(name)) << name;
        for (const std::string& name : imports.delayed) EXPECT_TRUE(kAllowedImports.count(name)) << "delayed " << name;
    }
}

TEST(ImportTableE2e, ManifestBindsTheCommonControlsVersion6AndAsksForAdministratorRights) {
    for (const std::wstring& exe : BothPrograms()) {
        SCOPED_TRACE(std::string(exe.begin(), exe.end()));
        HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        ASSERT_NE(found, nullptr) << "no manifest";
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        const std::string manifest(data ? data : "", data ? SizeofResource(module, found) : 0);
        FreeLibrary(module);
        EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
        EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
    }
}

}  // namespace
