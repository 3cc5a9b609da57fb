// Test fixture: loads each library named on the command line by its bare name, with the system's
// plain search order, and prints the path of the module it got (or "none"). It shows that a
// planted library would be found by a program that does not guard its loads.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        char path[MAX_PATH] = "none";
        if (const HMODULE module = LoadLibraryA(argv[i]))
            GetModuleFileNameA(module, path, sizeof path);
        std::printf("%s\n", path);
    }
    return 0;
}
