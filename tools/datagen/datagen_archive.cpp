// Packs the generator's archive members into "zzzz.saf" with the game's archive writer.
#include "data/archive.h"
#include "datagen.h"

#include <cstdio>
#include <string>

// The archive's first member: says what the archive is, so it is never empty.
static const char kReadme[] = "Skarvex game data.\n"
                              "This archive is made by skarvex-datagen; the game checks it at "
                              "start-up, so it must not be changed.\n"
                              "Files of the same name in the home folder take precedence over "
                              "its members.\n";

void generate_archive(DataOut *out) {
    std::vector<ArchiveInput> inputs;
    inputs.push_back(ArchiveInput{"readme.txt", kReadme, sizeof kReadme - 1});
    for (const DataMember &m : out->archive)
        inputs.push_back(ArchiveInput{m.name, m.data.data(), m.data.size()});
    std::vector<uint8_t> bytes;
    if (!archive_pack(inputs, &bytes)) {
        fprintf(stderr, "skarvex-datagen: an archive member name cannot be stored\n");
        out->failed = 1;
        return;
    }
    write_data_file(out, "zzzz.saf", bytes.data(), bytes.size());
}
