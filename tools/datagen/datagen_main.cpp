// Entry point of skarvex-datagen: writes every default data file into the ready-to-run folder.
#include "datagen.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: skarvex-datagen OUTPUT_FOLDER\n");
        return 1;
    }
    DataOut out;
    out.dir = argv[1];
    if (out.dir.empty() || out.dir.back() != '/') out.dir += '/';
    generate_tracks(&out);
    generate_shapes(&out);
    generate_archive(&out);
    if (out.failed) {
        fprintf(stderr, "skarvex-datagen: writing the data failed\n");
        return 1;
    }
    return 0;
}
