// A real Windows program to append packages to in tests: it must still start and exit normally
// with a package behind its image.
#include <cstdio>

int main()
{
    std::puts("stub image runs");
    return 7;
}
