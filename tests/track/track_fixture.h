// Shared helpers of the track and image tests: temporary folders, file builders, a
// minimal valid track folder, an in-memory terrain and the captured console.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Terrain;
struct VFile;

typedef std::vector<uint8_t> Bytes;

std::string make_temp_folder(); // fresh, without a trailing "/"
void remove_tree(const std::string &path);
void put_file(const std::string &path, const Bytes &data);
void put_file(const std::string &path, const std::string &text);
Bytes file_bytes(const std::string &path); // empty when missing

// "P6" image whose pixel (x, y) is colour(x, y) (three bytes).
Bytes ppm_bytes(int w, int h, std::function<void(int, int, uint8_t *)> colour);
Bytes ppm_fill(int w, int h, uint8_t r, uint8_t g, uint8_t b);
Bytes pgm_fill(int w, int h, uint8_t v);
// "terrain.hf": the text header, then ":" and the samples when samples is given.
Bytes hf_bytes(int n, float spacing, float lo, float hi, const std::vector<uint16_t> *samples);
// A surface table of count tiles, tile k with friction coefficient 1 + k / 10.
std::string tileinfo_text(int count);

// Writes a complete track of size n into folder: binary heights (sample(i, j)), the
// surface table of tileinfo_text(tiles), a tile map of tile 0, "shadingx2.ppm" of grey 100
// and a fully lit "shadows.pgm".
void write_track(const std::string &folder, int n, int tiles,
                 std::function<uint16_t(int, int)> sample = nullptr);

// Builds a terrain in memory with heights h(i, j), one default tile, shading 128 and no
// shadows; terrain_release frees it.
void terrain_fill(Terrain *t, int n, float spacing, std::function<float(int, int)> h);

// A fixture with a temporary folder, a fresh terrain and the console lines of the loaders.
class TrackTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string path(const char *name) const { return dir_ + "/" + name; }
    // Opens a file written into the folder for reading.
    VFile *open_text(const char *name, const std::string &text);

    std::string dir_;
    Terrain *t_ = nullptr;
    static std::vector<std::string> console_;
};
