// The data-file test fixture and helpers.
#include "data_fixture.h"
#include "data/archive.h"
#include "data/vfile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <random>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

extern char **environ;

void DataFolders::set_env(const char *name, const char *value) {
    int known = 0;
    for (const auto &saved : saved_env_) known |= saved.first == name;
    if (!known) {
        const char *old = getenv(name);
        saved_env_.emplace_back(name, old ? std::make_unique<std::string>(old) : nullptr);
    }
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

void DataFolders::SetUp() {
    root_ = make_temp_folder();
    home_ = root_ + "xdg/Skarvex/";
    install_ = root_ + "install/";
    mkdir(install_.c_str(), 0777);
    set_env("XDG_DATA_HOME", (root_ + "xdg").c_str());
    set_env("SK_HOME", (root_ + "install").c_str());
    vfile_reset();
}

void DataFolders::TearDown() {
    for (const auto &saved : saved_env_) {
        if (saved.second)
            setenv(saved.first.c_str(), saved.second->c_str(), 1);
        else
            unsetenv(saved.first.c_str());
    }
    saved_env_.clear();
    vfile_reset();
    remove_tree(root_);
}

Bytes to_bytes(const std::string &s) {
    return Bytes(s.begin(), s.end());
}

void write_file(const std::string &path, const Bytes &data) {
    for (size_t i = 1; i < path.size(); i++)
        if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0777);
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f) << path;
    if (!data.empty()) {
        ASSERT_EQ(fwrite(data.data(), 1, data.size(), f), data.size());
    }
    fclose(f);
}

void write_file(const std::string &path, const std::string &text) {
    write_file(path, to_bytes(text));
}

std::string read_file(const std::string &path) {
    FILE *f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
    return s;
}

int file_exists(const std::string &path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

static int remove_entry(const char *path, const struct stat *, int, struct FTW *) {
    return remove(path);
}

void remove_tree(const std::string &path) {
    if (!path.empty()) nftw(path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string make_temp_folder() {
    const char *tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/sk-data-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back(0);
    const char *made = mkdtemp(buf.data());
    EXPECT_TRUE(made);
    return made ? std::string(made) + "/" : "/nonexistent/";
}

std::string read_all(VFile *vf) {
    if (!vf) return "<no file>";
    std::string s;
    int c;
    while ((c = vfile_getc(vf)) >= 0) s += (char)c;
    vfile_close(vf);
    return s;
}

std::string read_path(const char *path) {
    return read_all(vfile_open(path, "rb"));
}

Bytes gzip_with(const Bytes &data, int fields) {
    z_stream zs;
    memset(&zs, 0, sizeof zs);
    EXPECT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    gz_header head;
    memset(&head, 0, sizeof head);
    static Bytef extra[] = "extra field bytes";
    static Bytef name[] = "member.txt";
    static Bytef comment[] = "a comment";
    if (fields & kGzExtra) {
        head.extra = extra;
        head.extra_len = sizeof extra - 1;
    }
    if (fields & kGzName) head.name = name;
    if (fields & kGzComment) head.comment = comment;
    head.hcrc = (fields & kGzHeaderCrc) ? 1 : 0;
    head.os = 3;
    EXPECT_EQ(deflateSetHeader(&zs, &head), Z_OK);
    Bytes out(deflateBound(&zs, data.size()) + 128);
    zs.next_in = (Bytef *)data.data();
    zs.avail_in = (uInt)data.size();
    zs.next_out = out.data();
    zs.avail_out = (uInt)out.size();
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

Bytes random_bytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (uint8_t &x : b) x = (uint8_t)gen();
    return b;
}

Bytes text_bytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::string s;
    while (s.size() < n)
        s += std::to_string(gen() % 1000) + " " + std::to_string(gen() % 100000 / 100.0) + "\n";
    s.resize(n);
    return to_bytes(s);
}

Bytes pack_archive(const std::vector<std::pair<std::string, Bytes>> &members) {
    std::vector<ArchiveInput> in;
    for (const auto &m : members)
        in.push_back(ArchiveInput{m.first, m.second.data(), m.second.size()});
    Bytes out;
    EXPECT_TRUE(archive_pack(in, &out));
    return out;
}

int run_program(const std::vector<std::string> &argv, std::string *out) {
    std::string out_path;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out) {
        char tmpl[] = "/tmp/sk-data-out-XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd < 0) return -1;
        close(fd);
        out_path = tmpl;
        posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_TRUNC, 0600);
    }
    std::vector<char *> args;
    for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc == 0 && waitpid(pid, &status, 0) < 0) rc = -1;
    if (out) {
        *out = read_file(out_path);
        remove(out_path.c_str());
    }
    if (rc != 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
