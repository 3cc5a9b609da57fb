#include "StubRoles.h"

#include "PathText.h"
#include "Utils.h"

namespace {

std::string ParameterItem(std::string_view name, std::string_view value)
{
    if (value.empty())
        return {};
    const bool cut = value.find_first_of(" /") != std::string_view::npos;
    return " " + std::string(name) + (cut ? "\"" + std::string(value) + "\"" : std::string(value));
}

} // namespace

std::string WindowClassNameFor(bool autoUpdateProg, std::string_view programPath)
{
    return autoUpdateProg ? ".AutoUpdate." + FileNameWithoutExt(programPath, false) : std::string(programPath);
}

std::string XAgentWindowClass(std::string_view agentFileName)
{
    return ".AutoUpdate.X_" + FileNameWithoutExt(agentFileName, false);
}

bool IsPlainAgentName(std::string_view programFileName, std::string_view agentFileName)
{
    return SameTextTrimmed(programFileName, agentFileName);
}

bool IsXAgentName(std::string_view programFileName, std::string_view agentFileName)
{
    return SameTextTrimmed(programFileName, "X_" + std::string(agentFileName));
}

std::string XCopyPath(std::string_view programPath)
{
    const std::string name = FileNameOf(programPath);
    return std::string(programPath.substr(0, programPath.size() - name.size())) + "X_" + name;
}

std::string XCopyParameters(std::string_view transient, std::string_view delay)
{
    return ParameterItem("/TRANSIENTx=", transient) + ParameterItem("/SleepX=", delay);
}
