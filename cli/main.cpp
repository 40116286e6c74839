#include <cstdio>

int main()
{
    std::puts("marquill-plot: the command-line plotting tool is being built.");
    return 0;
}
