// Any bytes as a program path (up to the first line break) and a command line (the rest): the
// parameter text, every parameter the program reads, and the removal of items from it.
#include "StubParams.h"

#include <cstdint>

namespace {

const char* const Names[] = {"/SpanCdLvl=", "/SpanDiskFName1=", "/OriginExe=", "/SleepX=", "/_ZZ=", "/WAIT=",
                             "/TRANSIENT=", "/DELAY=", "/STOP=", "/WM_MSG=", "/TEST=", "/TRANSIENTx="};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\n');
    const std::string_view program = input.substr(0, cut);
    const std::string_view commandLine = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
    const std::string params = ParamTextOf(commandLine, program);
    if (params.size() > commandLine.size())
        __builtin_trap();
    for (const char* name : Names) {
        if (TextParamIn(params, name).size() > params.size() && !params.empty())
            __builtin_trap();
        IntParamIn(params, name, -1);
        const std::string removed = RemoveParam(commandLine, name);
        if (removed.size() > commandLine.size() ||
            (removed.size() == commandLine.size() && removed != std::string(commandLine)))
            __builtin_trap();
    }
    HasParamIn(params, "/hide");
    return 0;
}
