// Any bytes as the file of a TGFileInfo: every accessor and the language choice.
#include "FileInfo.h"
#include "SLangId.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TGFileInfo info{MemorySource(std::string_view(reinterpret_cast<const char*>(data), size))};
    TGFileInfo::ForgetLanguageChoice();
    for (const char* key : {"s0", "s2", "s9", "BtnText", "Error"})
        info.Text(key);
    info.Charset();
    info.FontSize();
    info.FontName();
    for (const int language : {7, 9, 26, 52})
        ChooseLanguageEntryFor(info.LanguageBlock(), language);
    for (const std::uint64_t cluster : {0u, 512u, 4096u, 65536u})
        info.SpaceRequiredForCluster(cluster);
    info.AgentLocation();
    info.InfoFileName();
    info.OriginalFileName();
    info.AgentFileName();
    info.AgentToken(true);
    info.HiddenSetup();
    info.WebLocation();
    info.WebFileName();
    info.WebSkipLocal();
    info.WebFileSize();
    info.SameWebToken(info);
    info.AlwaysShowTempNotice();
    info.SpannedCdSet();
    info.ShowActivityBar();
    info.DebugLog();
    info.WebSetup();
    info.AskBeforeDownload();
    info.WriteAgent();
    info.AutoUpdateProg();
    return 0;
}
