#include "FilesCore.h"

#include <gtest/gtest.h>

namespace {

TEST(FilesCore, WriteChunkSizes)
{
    const struct {
        std::size_t length, chunk;
    } cases[] = {
        {0, 0},
        {1048576, 1048576},         // still one call
        {1048577, 104857},
        {3000000, 300000},
        {20000000, 1048576},        // a tenth would exceed the single-write limit
        {10485760, 1048576},
        {10485770, 1048576},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WriteChunkSize(c.length), c.chunk) << c.length;
}

TEST(FilesCore, SelfRemovalScripts)
{
    const struct {
        SelfRemovalPaths paths;
        bool quote, removeFolder;
        const char* script;
    } cases[] = {
        {{"C:\\Program Files\\My App\\X_agent.exe", "C:\\Program Files\\My App", "C:\\Temp\\_DEL_ME_.BAT"}, true, true,
         ":START\r\n"
         "DEL \"C:\\Program Files\\My App\\X_agent.exe\"\r\n"
         "IF exist \"C:\\Program Files\\My App\\X_agent.exe\" GOTO START\r\n"
         "RD \"C:\\Program Files\\My App\"\r\n"
         "DEL \"C:\\Temp\\_DEL_ME_.BAT\"\r\n"},
        {{"C:\\PROGRA~1\\MYAPP~1\\X_AGENT.EXE", "C:\\PROGRA~1\\MYAPP~1", "C:\\TEMP\\_DEL_ME_.BAT"}, false, false,
         ":START\r\n"
         "DEL C:\\PROGRA~1\\MYAPP~1\\X_AGENT.EXE\r\n"
         "IF exist C:\\PROGRA~1\\MYAPP~1\\X_AGENT.EXE GOTO START\r\n"
         "DEL C:\\TEMP\\_DEL_ME_.BAT\r\n"},
        // A batch file would expand "%TEMP%" even inside quotes.
        {{"C:\\50% off\\%TEMP%\\X_agent.exe", "C:\\50% off\\%TEMP%", "C:\\Temp\\_DEL_ME_.BAT"}, true, true,
         ":START\r\n"
         "DEL \"C:\\50%% off\\%%TEMP%%\\X_agent.exe\"\r\n"
         "IF exist \"C:\\50%% off\\%%TEMP%%\\X_agent.exe\" GOTO START\r\n"
         "RD \"C:\\50%% off\\%%TEMP%%\"\r\n"
         "DEL \"C:\\Temp\\_DEL_ME_.BAT\"\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SelfRemovalScript(c.paths, c.quote, c.removeFolder), c.script) << c.paths.program;
}

} // namespace
