#include "StubSetupCore.h"

#include "PackageLayout.h"
#include "PathText.h"
#include "StubParams.h"
#include "Utils.h"

#include <cstdio>

std::string ExtractFolderPathFor(std::string_view tempFolder, std::uint32_t programDosDate)
{
    return std::string(tempFolder) + "SETUP_" + std::to_string(programDosDate & 0xFFFF);
}

std::string YCopyPathFor(std::string_view extractFolder, std::string_view programPath)
{
    return std::string(extractFolder) + "\\Y_" + FileNameOf(programPath);
}

std::string YCopyCommandLine(std::string_view yCopyPath, std::string_view paramText, std::string_view programPath)
{
    const std::string program(programPath);
    return std::string(yCopyPath) + " " +
           Trim(std::string(paramText) + " /SpanCdLvl=2 /SpanDiskFName1=\"" + program + ".001\"" + " /OriginExe=\"" +
                program + "\"");
}

std::string EngineCommandLine(std::string_view destDir, std::string_view runName, std::string_view params,
                              std::string_view threadTag, std::string_view programPath, bool autoUpdateProg)
{
    std::string name(runName), parameters(params);
    if (runName.find('*') != std::string_view::npos) {
        name = Trim(TextBefore(runName, "*", ""));
        parameters = Trim(parameters + " " + Trim(TextAfter(runName, "*", "")));
    }
    std::string command = SetTrailingBackslash(destDir, true) + name;
    if (!parameters.empty())
        command += " " + parameters;
    command += " /TH_ID=" + std::string(threadTag);
    if (command.find("/OriginExe=") == std::string::npos)
        command += " /OriginExe=\"" + std::string(programPath) + "\"";
    if (autoUpdateProg)
        command += " /AutoUpdateProg";
    return RemoveParam(RemoveParam(command, "/SpanCdLvl="), "/SpanDiskFName1=");
}

std::string WebAgentImage(std::string program)
{
    if (program.size() >= PackageEndOffset + 8) {
        std::uint32_t low = 0;
        for (int i = 3; i >= 0; --i)
            low = low << 8 | static_cast<unsigned char>(program[PackageEndOffset + 4 + i]);
        // A mark of 0 is no mark: the whole program is kept.
        if (low > 0 && low < program.size() && program.size() - low < 10000)
            program.resize(low);
    }
    if (program.size() > 5)
        program[program.size() - 5] = 1;
    return program;
}

std::string ThreadTagOf(std::uint32_t threadId) { return "_" + std::to_string(threadId); }
std::string CompletionAtomName(std::string_view threadTag) { return "HtusZzmojuRhbwDkaloGjBdemtr" + std::string(threadTag); }
std::string DialogClassName(std::string_view threadTag) { return ".SDialog_Class_Name." + std::string(threadTag); }

std::string FormatMegabytes(double bytes)
{
    const double megabytes = (bytes < 0 ? 0 : bytes) / 1048576.0;
    const int decimals = megabytes > 10 ? 1 : megabytes >= 1 ? 2 : 3;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, megabytes);
    return text;
}

std::string SpaceQuestion(bool alwaysShowTempNotice, double need, double freeBytes, std::string_view drive,
                          const TSpaceTexts& texts)
{
    std::string question;
    if (alwaysShowTempNotice)
        question = texts.notice;
    if (need >= freeBytes)
        question = texts.warning;
    if (question.empty())
        return question;
    question += texts.required + texts.available + texts.question;
    question = ReplaceText(question, "<DRIVE>", drive);
    question = ReplaceText(question, "<SPACE_REQ>", FormatMegabytes(need));
    return ReplaceText(question, "<SPACE_AVAIL>", FormatMegabytes(freeBytes));
}

std::string DriveOfFolder(std::string_view folder)
{
    return folder.empty() ? "" : AnsiUpperCase(std::string(folder.substr(0, 1))) + ":";
}
