// skarvex-saf: creates, lists, extracts from and checks ".saf" archives with the game's
// own archive and gzip code, and prints the data-check digest of a file.
#include "data/archive.h"
#include "data/vfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

static const char kUsage[] =
    "usage: skarvex-saf create ARCHIVE FOLDER [MEMBER...]\n"
    "         packs every file below FOLDER (or only the MEMBERs, paths relative to it)\n"
    "       skarvex-saf list ARCHIVE\n"
    "       skarvex-saf extract ARCHIVE MEMBER OUTPUT [--gunzip]\n"
    "         OUTPUT \"-\" is standard output; --gunzip decompresses a \".gz\" member\n"
    "       skarvex-saf check ARCHIVE\n"
    "       skarvex-saf digest FILE [HEADER]\n"
    "         digest of the first 1,048,576 bytes; HEADER receives it as SK_DATA_DIGEST\n";

static int fail(const char *fmt, const char *what) {
    fprintf(stderr, "skarvex-saf: ");
    fprintf(stderr, fmt, what);
    fputc('\n', stderr);
    return 1;
}

static int ends_with(const std::string &s, const char *suffix) {
    size_t n = strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// Every regular file below root + rel, as paths relative to root. Linked folders are not
// entered, so the walk always ends.
static void collect_files(const std::string &root, const std::string &rel,
                          std::vector<std::string> *out) {
    DIR *dir = opendir((root + rel).c_str());
    if (!dir) return;
    std::vector<std::string> names;
    struct dirent *e;
    while ((e = readdir(dir)) != nullptr)
        if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) names.push_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string &n : names) {
        std::string path = root + rel + n;
        struct stat lst, st;
        if (lstat(path.c_str(), &lst) != 0 || stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(lst.st_mode))
            collect_files(root, rel + n + "/", out);
        else if (S_ISREG(st.st_mode))
            out->push_back(rel + n);
    }
}

// Copies everything vf delivers to out; returns the byte count, or -1 on a write error.
static long long copy_out(VFile *vf, FILE *out) {
    static char buf[65536];
    long long total = 0;
    size_t got;
    while ((got = vfile_read(vf, buf, sizeof buf)) > 0) {
        if (fwrite(buf, 1, got, out) != got) return -1;
        total += (long long)got;
    }
    return total;
}

static int saf_create(const std::string &archive, std::string folder,
                      std::vector<std::string> names) {
    if (folder.empty()) folder = ".";
    if (folder.back() != '/') folder += '/';
    if (names.empty()) collect_files(folder, "", &names);
    struct stat archive_st;
    int archive_exists = stat(archive.c_str(), &archive_st) == 0;
    std::vector<ArchiveMember> members;
    std::vector<std::string> paths;
    for (const std::string &name : names) {
        std::string path = folder + name;
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return fail("'%s' is not a file", path.c_str());
        if (archive_exists && st.st_dev == archive_st.st_dev && st.st_ino == archive_st.st_ino)
            continue; // the archive being replaced is not packed into itself
        members.push_back(ArchiveMember{name, 0, (int64_t)st.st_size});
        paths.push_back(path);
    }
    std::string header;
    if (!archive_format_header(members, &header))
        return fail("a member name of '%s' cannot be stored", folder.c_str());
    std::string temp = archive + ".tmp";
    FILE *out = fopen(temp.c_str(), "wb");
    if (!out) return fail("can't write '%s'", temp.c_str());
    int ok = fwrite(header.data(), 1, header.size(), out) == header.size();
    for (size_t i = 0; ok && i < members.size(); i++) {
        VFile *in = vfile_open_part(paths[i].c_str(), 0, members[i].size, 0);
        long long got = in ? copy_out(in, out) : -1;
        vfile_close(in);
        if (got != members[i].size) {
            fprintf(stderr, "skarvex-saf: '%s' changed or could not be read\n", paths[i].c_str());
            ok = 0;
        }
    }
    if (fclose(out) != 0) ok = 0;
    if (!ok || rename(temp.c_str(), archive.c_str()) != 0) {
        remove(temp.c_str());
        return fail("can't write '%s'", archive.c_str());
    }
    printf("%s: %zu members\n", archive.c_str(), members.size());
    return 0;
}

static int read_archive(const std::string &archive, std::vector<ArchiveMember> *members,
                        int64_t *header, int64_t *size) {
    if (archive_read_file(archive.c_str(), members, header, size)) return 1;
    fail("'%s' is not a valid archive", archive.c_str());
    return 0;
}

static int saf_list(const std::string &archive) {
    std::vector<ArchiveMember> members;
    int64_t header, size;
    if (!read_archive(archive, &members, &header, &size)) return 1;
    printf("%12s %12s name (header %lld bytes, %zu members)\n", "offset", "size", (long long)header,
           members.size());
    for (const ArchiveMember &m : members)
        printf("%12lld %12lld %s\n", (long long)m.offset, (long long)m.size, m.name.c_str());
    return 0;
}

static int saf_extract(const std::string &archive, const std::string &name,
                       const std::string &output, int gunzip) {
    std::vector<ArchiveMember> members;
    int64_t header, size;
    if (!read_archive(archive, &members, &header, &size)) return 1;
    const ArchiveMember *found = nullptr;
    for (const ArchiveMember &m : members)
        if (m.name == name && !found) found = &m;
    if (!found) return fail("no member '%s'", name.c_str());
    int compressed = gunzip && ends_with(found->name, ".gz");
    VFile *in = vfile_open_part(archive.c_str(), found->offset, found->size, compressed);
    if (!in) return fail("can't open member '%s'", name.c_str());
    FILE *out = output == "-" ? stdout : fopen(output.c_str(), "wb");
    if (!out) {
        vfile_close(in);
        return fail("can't write '%s'", output.c_str());
    }
    long long got = copy_out(in, out);
    vfile_close(in);
    int ok = got >= 0 && (compressed || got == found->size);
    if (out == stdout ? fflush(out) != 0 : fclose(out) != 0) ok = 0;
    return ok ? 0 : fail("extracting '%s' failed", name.c_str());
}

static int saf_check(const std::string &archive) {
    std::vector<ArchiveMember> members;
    int64_t header, size;
    if (!read_archive(archive, &members, &header, &size)) return 1;
    int64_t end = header;
    int bad = 0;
    for (const ArchiveMember &m : members) {
        end = m.offset + m.size;
        if (!ends_with(m.name, ".gz")) continue;
        VFile *vf = vfile_open_part(archive.c_str(), m.offset, m.size, 1);
        if (!vf) {
            printf("member '%s' has no valid gzip header\n", m.name.c_str());
            bad = 1;
        }
        vfile_close(vf);
    }
    if (end < size) printf("%lld bytes follow the last member\n", (long long)(size - end));
    printf("%s: %s, %zu members, header %lld bytes, data %lld bytes\n", archive.c_str(),
           bad ? "damaged" : "valid", members.size(), (long long)header, (long long)(end - header));
    return bad;
}

static int saf_digest(const std::string &file, const char *header_path) {
    char hex[41];
    if (!data_file_digest(file.c_str(), hex)) return fail("can't read '%s'", file.c_str());
    if (!header_path) {
        printf("%s\n", hex);
        return 0;
    }
    VFile *out = vfile_open(header_path, "wb");
    if (!out) return fail("can't write '%s'", header_path);
    vfile_printf(out,
                 "// The expected digest of the game's data archive, computed by skarvex-saf.\n"
                 "#pragma once\n#define SK_DATA_DIGEST \"%s\"\n",
                 hex);
    int ok = vfile_flush(out);
    vfile_close(out);
    return ok ? 0 : fail("can't write '%s'", header_path);
}

int main(int argc, char **argv) {
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "create" && argc >= 4)
        return saf_create(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    if (cmd == "list" && argc == 3) return saf_list(argv[2]);
    if (cmd == "extract" && (argc == 5 || (argc == 6 && !strcmp(argv[5], "--gunzip"))))
        return saf_extract(argv[2], argv[3], argv[4], argc == 6);
    if (cmd == "check" && argc == 3) return saf_check(argv[2]);
    if (cmd == "digest" && (argc == 3 || argc == 4))
        return saf_digest(argv[2], argc == 4 ? argv[3] : nullptr);
    fputs(kUsage, stderr);
    return 2;
}
