#include "InetHTTP.h"

#include "Utils.h"
#include "UtilsWin.h"

#include <gtest/gtest.h>

namespace {

std::string ModulePath(HMODULE module)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, sizeof path);
    return path;
}

TEST(WinINetBinding, ComesFromTheSystemFolderAndEndsWithTheRelease)
{
    ASSERT_NE(WinINetFunction("InternetOpenA"), nullptr);
    EXPECT_EQ(WinINetFunction("NoSuchFunction"), nullptr);
    HMODULE module = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCSTR>(WinINetFunction("InternetReadFile")), &module));
    EXPECT_TRUE(StartsWith(SystemFolder(true), ModulePath(module), true)) << ModulePath(module);
    ReleaseWinINet();
    EXPECT_EQ(WinINetFunction("InternetOpenA"), nullptr);
}

} // namespace
