#include "BridgeTest.h"

#include <algorithm>

namespace {

using BridgeExportTable = BridgeTest;

TEST_F(BridgeExportTable, HoldsExactlyTheBridgeExports)
{
    std::vector<std::string> expected = {
        "mpl_open", "mpl_close", "mpl_restart", "mpl_exec", "mpl_tempbuf", "mpl_output", "mpl_debug",
        "mpl_test", "delete_file", "exist_file",
        "mpl_get", "mpl_valget", "mpl_valgetc", "mpl_strget", "mpl_strsize", "mpl_strput", "mpl_valput",
        "mpl_valputc",
        "mpl_vecput", "mpl_matput", "mpl_matputc", "mpl_matget", "mpl_rtcreate", "mpl_syminfo",
    };
    std::vector<std::string> names = host->ExportedNames();
    std::sort(expected.begin(), expected.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
}

}
