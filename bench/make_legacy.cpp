// make-legacy DIR [--scale S]: a synthetic legacy folder holding every file of the full migration (see
// tests/support/synthetic_legacy.h). S may be a fraction (0.01 gives a small folder).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/synthetic_legacy.h"

int main(int argc, char** argv)
{
    std::string dir;
    double scale = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scale" && i + 1 < argc)
            scale = std::atof(argv[++i]);
        else if (dir.empty() && arg.rfind("--", 0) != 0)
            dir = arg;
        else
            dir.clear(), i = argc;
    }
    if (dir.empty() || scale <= 0) {
        std::fprintf(stderr, "usage: make-legacy DIR [--scale S]\n");
        return 2;
    }
    WriteSyntheticLegacyFolder(dir, scale);
    std::printf("legacy folder %s written at scale %g\n", dir.c_str(), scale);
    return 0;
}
