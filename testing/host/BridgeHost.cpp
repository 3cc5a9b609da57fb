#include "BridgeHost.h"

#include <windows.h>

#include <stdexcept>

namespace {

template <class F> void Resolve(HMODULE module, F& function, const char* name)
{
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!function)
        throw std::runtime_error(std::string("maplelink64.dll does not export ") + name);
}

void ResolveAll(HMODULE m, BridgeExports& e)
{
    Resolve(m, e.mpl_open, "mpl_open");
    Resolve(m, e.mpl_close, "mpl_close");
    Resolve(m, e.mpl_restart, "mpl_restart");
    Resolve(m, e.mpl_exec, "mpl_exec");
    Resolve(m, e.mpl_tempbuf, "mpl_tempbuf");
    Resolve(m, e.mpl_output, "mpl_output");
    Resolve(m, e.mpl_debug, "mpl_debug");
    Resolve(m, e.mpl_test, "mpl_test");
    Resolve(m, e.delete_file, "delete_file");
    Resolve(m, e.exist_file, "exist_file");
    Resolve(m, e.mpl_get, "mpl_get");
    Resolve(m, e.mpl_valget, "mpl_valget");
    Resolve(m, e.mpl_valgetc, "mpl_valgetc");
    Resolve(m, e.mpl_strget, "mpl_strget");
    Resolve(m, e.mpl_strsize, "mpl_strsize");
    Resolve(m, e.mpl_strput, "mpl_strput");
    Resolve(m, e.mpl_valput, "mpl_valput");
    Resolve(m, e.mpl_valputc, "mpl_valputc");
    Resolve(m, e.mpl_vecput, "mpl_vecput");
    Resolve(m, e.mpl_matput, "mpl_matput");
    Resolve(m, e.mpl_matputc, "mpl_matputc");
    Resolve(m, e.mpl_matget, "mpl_matget");
    Resolve(m, e.mpl_rtcreate, "mpl_rtcreate");
    Resolve(m, e.mpl_syminfo, "mpl_syminfo");
}

HMODULE Module(void* m) { return static_cast<HMODULE>(m); }

}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

BridgeHost::BridgeHost()
{
    // The kernel DLL beside the bridge is found through the bridge's own folder.
    const std::string path = ProgramFolder() + "maplelink64.dll";
    module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module_)
        throw std::runtime_error("cannot load " + path);
    try {
        ResolveAll(Module(module_), exports_);
    } catch (...) {
        FreeLibrary(Module(module_));
        throw;
    }
}

BridgeHost::~BridgeHost() { FreeLibrary(Module(module_)); }

std::vector<std::string> BridgeHost::ExportedNames() const
{
    const auto* base = static_cast<const unsigned char*>(module_);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (table.Size == 0)
        return names;
    const auto* directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + table.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    for (DWORD i = 0; i < directory->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    // Exports by ordinal only would have no name: count them as well.
    for (DWORD i = directory->NumberOfNames; i < directory->NumberOfFunctions; ++i)
        names.emplace_back("#ordinal");
    return names;
}
