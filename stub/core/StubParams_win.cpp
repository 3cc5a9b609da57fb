#include "StubParams.h"

#include "Platform.h"
#include "UtilsWin.h"

std::string ParamText() { return ParamTextOf(ProgramCommandLine(), ProgramFilePath(false)); }

std::string TextParam(std::string_view name) { return TextParamIn(ParamText(), name); }

std::int64_t IntParam(std::string_view name, std::int64_t defaultValue)
{
    return IntParamIn(ParamText(), name, defaultValue);
}

bool HasParam(std::string_view name) { return HasParamIn(ParamText(), name); }
