// Benchmarks of the data-files layer: vfile_getc over a 10 MB gzip-compressed archive
// member against "gzip -dc" of the same stream, and building the index of 20,000 files.
#include "data/archive.h"
#include "data/vfile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

extern char **environ;

static double seconds_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Text like the game's data files: lines of numbers and words.
static std::string sample_text(size_t n) {
    std::mt19937 gen(7);
    std::string s;
    char line[128];
    while (s.size() < n) {
        snprintf(line, sizeof line, "%u %.4f %.4f %.4f tile_%u.png\n", (unsigned)(gen() % 4096),
                 (gen() % 100000) / 7.0, (gen() % 100000) / 13.0, (gen() % 1000) / 3.0,
                 (unsigned)(gen() % 64));
        s += line;
    }
    s.resize(n);
    return s;
}

static std::vector<uint8_t> gzip_text(const std::string &text) {
    z_stream zs;
    memset(&zs, 0, sizeof zs);
    deflateInit2(&zs, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&zs, text.size()) + 64);
    zs.next_in = (Bytef *)text.data();
    zs.avail_in = (uInt)text.size();
    zs.next_out = out.data();
    zs.avail_out = (uInt)out.size();
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

static int write_bytes(const std::string &path, const void *data, size_t n) {
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    int ok = fwrite(data, 1, n, f) == n;
    return fclose(f) == 0 && ok;
}

static int remove_entry(const char *path, const struct stat *, int, struct FTW *) {
    return remove(path);
}

// Seconds for "gzip -dc path > /dev/null".
static double time_gzip_tool(const std::string &path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char gzip[] = "gzip", dc[] = "-dc";
    std::string p = path;
    char *argv[] = {gzip, dc, &p[0], nullptr};
    auto t0 = std::chrono::steady_clock::now();
    pid_t pid;
    int status = 0;
    if (posix_spawnp(&pid, "gzip", &actions, nullptr, argv, environ) != 0) return -1;
    waitpid(pid, &status, 0);
    double t = seconds_since(t0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? t : -1;
}

static void bench_gzip_member(const std::string &dir) {
    const size_t size = 10 * 1000 * 1000;
    std::string text = sample_text(size);
    std::vector<uint8_t> gz = gzip_text(text);
    std::vector<ArchiveInput> in = {{"first.txt", "x", 1}, {"big.txt.gz", gz.data(), gz.size()}};
    std::vector<uint8_t> archive;
    archive_pack(in, &archive);
    write_bytes(dir + "bench.saf", archive.data(), archive.size());
    write_bytes(dir + "big.gz", gz.data(), gz.size());
    setenv("SK_HOME", dir.c_str(), 1);
    vfile_reset();
    double best_vfile = 1e9, best_gzip = 1e9;
    for (int run = 0; run < 5; run++) {
        auto t0 = std::chrono::steady_clock::now();
        VFile *vf = vfile_open("@big.txt", "rb");
        size_t n = 0;
        unsigned sum = 0;
        int c;
        while ((c = vfile_getc(vf)) >= 0) {
            sum += (unsigned)c;
            n++;
        }
        vfile_close(vf);
        double t = seconds_since(t0);
        if (n != size) fprintf(stderr, "bench_data: read %zu bytes, not %zu\n", n, size);
        if (t < best_vfile) best_vfile = t;
        double g = time_gzip_tool(dir + "big.gz");
        if (g >= 0 && g < best_gzip) best_gzip = g;
        if (sum == 1) puts(""); // keeps the loop from being optimised away
    }
    printf("gzip member, %.1f MB decoded (%.1f MB compressed), best of 5:\n", size / 1e6,
           gz.size() / 1e6);
    printf("  vfile_getc byte by byte  %7.1f ms  %6.1f MB/s\n", best_vfile * 1e3,
           size / 1e6 / best_vfile);
    if (best_gzip < 1e9)
        printf("  gzip -dc > /dev/null     %7.1f ms  %6.1f MB/s   ratio vfile/gzip %.2f\n",
               best_gzip * 1e3, size / 1e6 / best_gzip, best_vfile / best_gzip);
    else
        printf("  gzip -dc could not be run\n");
}

static void bench_index(const std::string &dir) {
    // 20 top folders x 20 sub-folders x 50 files = 20,000 files, plus one archive.
    std::string root = dir + "tree/";
    mkdir(root.c_str(), 0777);
    for (int a = 0; a < 20; a++) {
        std::string da = root + "area" + std::to_string(a) + "/";
        mkdir(da.c_str(), 0777);
        for (int b = 0; b < 20; b++) {
            std::string db = da + "part" + std::to_string(b) + "/";
            mkdir(db.c_str(), 0777);
            for (int c = 0; c < 50; c++)
                write_bytes(db + "file" + std::to_string(c) + ".txt", "data\n", 5);
        }
    }
    setenv("SK_HOME", root.c_str(), 1);
    double best = 1e9;
    size_t names = 0;
    for (int run = 0; run < 5; run++) {
        vfile_reset();
        auto t0 = std::chrono::steady_clock::now();
        names = 0;
        for (const char *const *n = vfile_list_names(); *n; n++) names++;
        double t = seconds_since(t0);
        if (t < best) best = t;
    }
    // With the index built: a name found only by the case-blind scan of the whole table.
    auto t0 = std::chrono::steady_clock::now();
    VFile *vf = vfile_open("@AREA19/part19/FILE49.TXT", "rb");
    double lookup = seconds_since(t0);
    vfile_close(vf);
    printf("file index over %zu files in 420 folders: %.1f ms to build (best of 5)\n", names,
           best * 1e3);
    printf("  case-blind lookup scanning the whole index: %.2f ms%s\n", lookup * 1e3,
           vf ? "" : " (not found!)");
}

int main() {
    char tmpl[] = "/tmp/sk-bench-data-XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    std::string dir = std::string(tmpl) + "/";
    setenv("XDG_DATA_HOME", (dir + "xdg").c_str(), 1);
    bench_gzip_member(dir);
    bench_index(dir);
    nftw(tmpl, remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    return 0;
}
