// Stand-in for the text viewer the bridge starts: writes the arguments it was given, one a line,
// to "notepad.txt" in its current folder and exits with the code in NOTEPAD_EXIT_CODE (default 0).
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (std::FILE* f = std::fopen("notepad.txt", "wb")) {
        for (int i = 1; i < argc; ++i)
            std::fprintf(f, "%s%s", i > 1 ? "\n" : "", argv[i]);
        std::fclose(f);
    }
    const char* code = std::getenv("NOTEPAD_EXIT_CODE");
    return code ? std::atoi(code) : 0;
}
