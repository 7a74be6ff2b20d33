// Resources read through the module's file must be the very bytes the mapped image holds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "win32/ResourceFile.h"

namespace {

std::vector<uint8_t> MappedBytes(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
}

}  // namespace

TEST(ResourceFile, ReadsTheImagesOwnBytesWholeOrTheirStart) {
    HMODULE self = GetModuleHandleW(nullptr);
    std::vector<uint8_t> bytes;
    // The first and a late skin bitmap: offsets from the start and the end of the resource section.
    for (int id : {130, 304}) {
        const std::vector<uint8_t> mapped = MappedBytes(self, id);
        ASSERT_FALSE(mapped.empty()) << id;
        ASSERT_TRUE(ReadResourceBytes(self, L"PNG", id, SIZE_MAX, bytes)) << id;
        EXPECT_EQ(bytes, mapped) << id;
        ASSERT_TRUE(ReadResourceBytes(self, L"PNG", id, 24, bytes)) << id;
        EXPECT_EQ(bytes, std::vector<uint8_t>(mapped.begin(), mapped.begin() + 24)) << id;
    }
    EXPECT_FALSE(ReadResourceBytes(self, L"PNG", 9999, SIZE_MAX, bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(ResourceFile, FindsWhereTheMappedBytesLieInTheFile) {
    HMODULE self = GetModuleHandleW(nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(self, path, MAX_PATH), 0u);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    for (int id : {130, 304}) {
        HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), L"PNG");
        const void* mapped = LockResource(LoadResource(self, found));
        const DWORD size = SizeofResource(self, found);
        uint64_t offset = 0;
        ASSERT_TRUE(ImageFileOffset(self, mapped, size, offset)) << id;
        std::vector<uint8_t> fromFile(size);
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD got = 0;
        ASSERT_TRUE(ReadFile(file, fromFile.data(), size, &got, &at) && got == size) << id;
        EXPECT_EQ(0, std::memcmp(fromFile.data(), mapped, size)) << id;
    }
    CloseHandle(file);
    uint64_t offset = 0;
    EXPECT_FALSE(ImageFileOffset(self, reinterpret_cast<const uint8_t*>(self) - 16, 4, offset));
}

TEST(ResourceFile, AModuleLoadedAsDataGivesItsMappedBytes) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    HMODULE data = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(data);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadResourceBytes(data, L"PNG", 130, SIZE_MAX, bytes));
    EXPECT_EQ(bytes, MappedBytes(GetModuleHandleW(nullptr), 130));
    FreeLibrary(data);
}
