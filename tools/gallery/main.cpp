// gallery OUT.png: draws every control kind and every bitmap into one PNG.
#include "tools/gallery/GalleryScene.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gallery OUT.png\n");
        return 2;
    }
    const auto frame = gallery::BuildGallery();
    if (!frame->writePNG(argv[1])) {
        std::fprintf(stderr, "gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
