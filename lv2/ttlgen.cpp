// Build step: writes the bundle's TTL files from the catalogue.
#include "lv2/TtlGenerator.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BUNDLE_FOLDER\n", argv[0]);
        return 2;
    }
    if (!lv2::WriteBundleDescription(argv[1])) {
        std::fprintf(stderr, "%s: cannot write the bundle description into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
