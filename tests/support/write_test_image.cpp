// Writes the builder's standard image to a path, for scripts that need an
// image on disk (the README's screenshot).
#include "test_image.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PATH\n", argv[0]);
        return 2;
    }
    vardane::test::writeAll(argv[1], vardane::test::standardImage().checksumTo(0x37).bytes());
    return 0;
}
