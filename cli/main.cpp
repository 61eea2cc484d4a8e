#include <cstdio>

int main()
{
    std::puts("convquibraw-cli");
    return 0;
}
