#include <gtest/gtest.h>

#include "support/RunKeyEntry.h"
#include "win32/Win32AutorunStore.h"
#include "win32/WinApi.h"

namespace {

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
    EXPECT_EQ(RunKeyEntry(), ModulePath());
    EXPECT_EQ(store.IsAutorunSet(), 0);

    EXPECT_EQ(store.RemoveAutorun(), ERROR_SUCCESS);
    EXPECT_EQ(RunKeyEntry(), L"");
    EXPECT_EQ(store.IsAutorunSet(), 2);
}
