// Leaks one allocation on purpose, for the test that a sanitizer report of a
// program a lab script starts fails the script's run.

#include <cstdio>

namespace {

int* volatile g_kept;

}  // namespace

int main()
{
    g_kept = new int[4];
    g_kept = nullptr;
    std::puts("leaked");
    return 0;
}
