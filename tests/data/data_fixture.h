// Shared fixture of the data-file tests: temporary search folders and file helpers.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct VFile;

typedef std::vector<uint8_t> Bytes;

// Points the home folder (XDG_DATA_HOME) and the installation folder (SK_HOME) at fresh
// temporary folders, and forgets the lazily built folders and index around each test.
class DataFolders : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::string root_;    // the temporary tree, ending in "/"
    std::string home_;    // search folder 0, ending in "/" (not created)
    std::string install_; // search folder 1, ending in "/" (created)

    void set_env(const char *name, const char *value); // restored at tear-down; 0 unsets

  private:
    // Each changed variable's value before the test's first change (null: unset).
    std::vector<std::pair<std::string, std::unique_ptr<std::string>>> saved_env_;
};

Bytes to_bytes(const std::string &s);
// Writes path, creating its folders.
void write_file(const std::string &path, const Bytes &data);
void write_file(const std::string &path, const std::string &text);
// The whole file, or "<missing>".
std::string read_file(const std::string &path);
int file_exists(const std::string &path);
void remove_tree(const std::string &path);
std::string make_temp_folder(); // ends in "/"

// Everything a handle delivers, read byte by byte; closes it. "<no file>" for 0.
std::string read_all(VFile *vf);
// Opens and reads a path; "<no file>" when it does not open.
std::string read_path(const char *path);

// gzip flags for gzip_with: extra field, name, comment, header checksum.
enum { kGzExtra = 1, kGzName = 2, kGzComment = 4, kGzHeaderCrc = 8 };
Bytes gzip_with(const Bytes &data, int fields);
// Deterministic bytes that compress poorly (random) or well (text lines).
Bytes random_bytes(size_t n, uint32_t seed);
Bytes text_bytes(size_t n, uint32_t seed);
// An archive of (name, data) members.
Bytes pack_archive(const std::vector<std::pair<std::string, Bytes>> &members);

// Runs a program with arguments; standard output goes to *out when given. Returns the
// exit status, or -1 when it could not run.
int run_program(const std::vector<std::string> &argv, std::string *out);
