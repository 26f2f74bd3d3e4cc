// Track folders of the ready-to-run folder.
#include "datagen.h"

#include <cstdio>

// A flat placeholder start track: 257 x 257 samples 4 ft apart, all at height 0.
void generate_tracks(DataOut *out) {
    const int n = 7, samples = (2 << n) + 1;
    std::string hf = "7 4.000000 0.000000 0.000000\n:";
    std::vector<uint8_t> bytes(hf.begin(), hf.end());
    bytes.resize(bytes.size() + (size_t)samples * samples * 2, 0);
    write_data_file(out, "rabbithill/desc", "Rabbit Hill\n");
    write_data_file(out, "rabbithill/terrain.hf", bytes.data(), bytes.size());
    (void)n;
}
