#include <gtest/gtest.h>

#include "win32/Win32AutorunStore.h"
#include "win32/WinApi.h"

namespace {

std::wstring StoredValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return L"";
    }
    wchar_t value[512] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    LONG status = RegQueryValueExW(key, L"CoralvaneStartUpAutoRun", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? value : L"";
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

TEST(Win32AutorunStore, CommandIsThePathQuotedOnlyWhenItHoldsASpace) {
    EXPECT_EQ(AutorunCommand(L"C:\\Tools\\Coralvane.exe"), L"C:\\Tools\\Coralvane.exe");
    EXPECT_EQ(AutorunCommand(L"C:\\Program Files\\100% fan\\Coralvane.exe"),
              L"\"C:\\Program Files\\100% fan\\Coralvane.exe\"");
}

TEST(Win32AutorunStore, SetStoresThePlainExecutablePathAndRemoveDeletesIt) {
    Win32AutorunStore store;
    ASSERT_EQ(store.SetAutorun(), ERROR_SUCCESS);
    EXPECT_EQ(StoredValue(), ModulePath());
    EXPECT_EQ(store.IsAutorunSet(), 0);

    EXPECT_EQ(store.RemoveAutorun(), ERROR_SUCCESS);
    EXPECT_EQ(StoredValue(), L"");
    EXPECT_EQ(store.IsAutorunSet(), 2);
}
