// packbuild: makes setup files from a description, writes INFORM documents and inspects
// packages. See tools/README.md.
#include "Description.h"
#include "OutputFiles.h"
#include "PackageTokens.h"
#include "SetupBuilder.h"
#include "SetupInspect.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char Usage[] =
    "usage: packbuild build DESCRIPTION\n"
    "       packbuild inform --token TOKEN --body FILE [--scrambled] --output FILE\n"
    "       packbuild inspect FILE...\n";

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "packbuild: %s\n%s", message.c_str(), Usage);
    return 2;
}

int Build(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return UsageError("build takes one description file");
    for (const auto& path : BuildSetup(ReadDescription(args[0])))
        std::printf("wrote %s\n", path.string().c_str());
    return 0;
}

int Inform(const std::vector<std::string>& args)
{
    std::string token, body, output;
    bool scrambled = false, haveToken = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--scrambled")
            scrambled = true;
        else if (a == "--token" && hasValue)
            token = args[++i], haveToken = true;
        else if (a == "--body" && hasValue)
            body = args[++i];
        else if (a == "--output" && hasValue)
            output = args[++i];
        else
            return UsageError("inform: unexpected '" + a + "'");
    }
    if (!haveToken || body.empty() || output.empty())
        return UsageError("inform needs --token, --body and --output");
    const std::string text = ReadFileBytes(body);
    OutputSet out;
    OutputFile& f = out.Open(output);
    out.Write(f, MakeInformDocument(token, text, scrambled, SeedOf(token + "|" + text)));
    for (const auto& path : out.Commit())
        std::printf("wrote %s\n", path.string().c_str());
    return 0;
}

int Inspect(const std::vector<std::string>& args)
{
    if (args.empty())
        return UsageError("inspect takes one or more files");
    bool allSound = true;
    for (const std::string& path : args) {
        const InspectReport report = InspectPackage(path);
        std::fputs(report.text.c_str(), stdout);
        allSound = allSound && report.sound;
    }
    return allSound ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fputs(Usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (command == "build")
            return Build(args);
        if (command == "inform")
            return Inform(args);
        if (command == "inspect")
            return Inspect(args);
        return UsageError("unknown command '" + command + "'");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "packbuild: %s\n", e.what());
        return 1;
    }
}
