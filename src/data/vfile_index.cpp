// Search folders, the file index over folders and ".saf" archives, and the opening and
// renaming of "@" paths.
#include "data/archive.h"
#include "data/growable.h"
#include "data/vfile_internal.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

// Source numbers of archive members start above every folder number.
const int kMaxSearchFolders = 2;
// Deeper folder trees are not walked; they stop a runaway walk of a strange tree.
const int kMaxWalkDepth = 64;

struct SearchFolders {
    int built = 0;                    // the list below is complete
    std::vector<std::string> folders; // normalised, each ending in "/"; 0 is the home folder
};

// One file of the index: a plain file of a search folder or an archive member.
struct IndexEntry {
    std::string container; // real path of the file holding the bytes
    std::string name;      // virtual name, "/"-separated
    int64_t offset;        // data offset inside the container
    int64_t size;          // data length
    int source;            // folder number, or kMaxSearchFolders + archive number
};

struct FileIndex {
    int built = 0;                   // rows and names are complete
    std::vector<IndexEntry> rows;    // sorted by name, then source
    std::vector<const char *> names; // distinct names (into rows), then a null pointer
};

static SearchFolders g_folders;
static FileIndex g_index;

// ---- search folders ----

static void add_search_folder(const std::string &path) {
    std::string folder = normalise_path(path + "/");
    if (folder.size() <= 1 || folder.size() > (size_t)kVirtualPathMax) return;
    g_folders.folders.push_back(folder);
}

// The per-user data folder: $XDG_DATA_HOME, else ~/.local/share.
static std::string user_data_folder() {
    const char *xdg = getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg; // relative values are to be ignored
    const char *home = getenv("HOME");
    if (home && home[0]) return std::string(home) + "/.local/share";
    struct passwd *pw = getpwuid(getuid());
    if (pw && pw->pw_dir && pw->pw_dir[0]) return std::string(pw->pw_dir) + "/.local/share";
    return "";
}

static std::string executable_folder() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    if (n <= 0 || n >= (ssize_t)sizeof buf) return "";
    std::string path(buf, (size_t)n);
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

static void build_search_folders() {
    if (g_folders.built) return;
    g_folders.built = 1;
    std::string user = user_data_folder();
    if (!user.empty()) add_search_folder(user + "/Skarvex");
    const char *sk_home = getenv("SK_HOME");
    std::string install = sk_home && sk_home[0] ? std::string(sk_home) : executable_folder();
    if (!install.empty()) add_search_folder(install);
}

const char *search_folder(int i) {
    build_search_folders();
    if (i < 0 || i >= (int)g_folders.folders.size()) return nullptr;
    return g_folders.folders[(size_t)i].c_str();
}

// ---- the file index ----

typedef std::set<std::pair<dev_t, ino_t>> SeenFolders;

// Walks root + rel (rel empty or ending in "/"). Links are followed, but every folder is
// entered once, so a link back up the tree cannot loop.
static void walk_folder(const std::string &root, const std::string &rel, int source,
                        SeenFolders *seen, int depth) {
    std::string path = root + rel;
    DIR *dir = opendir(path.c_str());
    if (!dir) return;
    std::vector<std::string> subfolders;
    struct dirent *e;
    while ((e = readdir(dir)) != nullptr) {
        if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
        struct stat st;
        if (fstatat(dirfd(dir), e->d_name, &st, 0) != 0) continue;
        std::string name = rel + e->d_name;
        if (root.size() + name.size() > (size_t)kRealPathMax) continue;
        if (S_ISDIR(st.st_mode)) {
            if (seen->insert(std::make_pair(st.st_dev, st.st_ino)).second)
                subfolders.push_back(name);
        } else if (S_ISREG(st.st_mode)) {
            growable_push(&g_index.rows,
                          IndexEntry{root + name, name, 0, (int64_t)st.st_size, source});
        }
    }
    closedir(dir);
    if (depth >= kMaxWalkDepth) return;
    // Sorted, so that a folder reached by two routes is always named by the same one.
    std::sort(subfolders.begin(), subfolders.end());
    for (const std::string &sub : subfolders) walk_folder(root, sub + "/", source, seen, depth + 1);
}

static void walk_search_folder(int i) {
    const std::string &root = g_folders.folders[(size_t)i];
    SeenFolders seen;
    struct stat st;
    if (stat(root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    seen.insert(std::make_pair(st.st_dev, st.st_ino));
    walk_folder(root, "", i, &seen, 0);
}

static bool row_before(const IndexEntry &a, const IndexEntry &b) {
    int c = a.name.compare(b.name);
    if (c != 0) return c < 0;
    if (a.source != b.source) return a.source < b.source;
    return a.offset < b.offset;
}

static int is_archive_name(const std::string &name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".saf") == 0;
}

static void add_archive_members(const IndexEntry &archive, int source) {
    std::vector<ArchiveMember> members;
    if (!archive_read_file(archive.container.c_str(), &members, nullptr, nullptr)) return;
    for (const ArchiveMember &m : members)
        growable_push(&g_index.rows,
                      IndexEntry{archive.container, m.name, m.offset, m.size, source});
}

static void build_index() {
    if (g_index.built) return;
    build_search_folders();
    g_index.built = 1;
    for (int i = 0; i < (int)g_folders.folders.size(); i++) walk_search_folder(i);
    std::sort(g_index.rows.begin(), g_index.rows.end(), row_before);
    size_t plain_rows = g_index.rows.size();
    int source = kMaxSearchFolders;
    for (size_t i = 0; i < plain_rows; i++) {
        if (!is_archive_name(g_index.rows[i].name)) continue;
        IndexEntry archive = g_index.rows[i]; // copied: adding rows may move the table
        add_archive_members(archive, source++);
    }
    std::sort(g_index.rows.begin(), g_index.rows.end(), row_before);
    for (const IndexEntry &row : g_index.rows)
        if (g_index.names.empty() || row.name != g_index.names.back())
            g_index.names.push_back(row.name.c_str());
    g_index.names.push_back(nullptr);
}

const char *const *vfile_list_names() {
    build_index();
    return g_index.names.data();
}

void vfile_reset() {
    g_folders = SearchFolders();
    g_index = FileIndex();
}

// ---- virtual paths ----

static int lower_ascii(int c) {
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

static int same_ignoring_case(const char *a, const char *b, size_t n) {
    for (size_t i = 0; i < n; i++)
        if (lower_ascii((unsigned char)a[i]) != lower_ascii((unsigned char)b[i])) return 0;
    return 1;
}

// The virtual name of an "@" path, normalised. 0 for an empty name or one with a ".."
// component, which could reach outside the search folders.
static int virtual_name(const char *path, std::string *name) {
    *name = normalise_path(path + 1);
    while (!name->empty() && (*name)[0] == '/') name->erase(0, 1);
    if (name->empty()) return 0;
    size_t start = 0;
    while (start <= name->size()) {
        size_t end = name->find('/', start);
        if (end == std::string::npos) end = name->size();
        if (name->compare(start, end - start, "..") == 0) return 0;
        start = end + 1;
    }
    return 1;
}

static VFile *open_index_row(const std::string &name) {
    for (const IndexEntry &row : g_index.rows) {
        int compressed;
        if (row.name.size() == name.size())
            compressed = 0;
        else if (row.name.size() == name.size() + 3)
            compressed = 1;
        else
            continue;
        if (!same_ignoring_case(row.name.data(), name.data(), name.size())) continue;
        if (compressed && !same_ignoring_case(row.name.data() + name.size(), ".gz", 3)) continue;
        int whole_file = row.source < kMaxSearchFolders;
        return vfile_open_container(row.container, row.offset, row.size, compressed, whole_file);
    }
    return nullptr;
}

VFile *vfile_open(const char *path, const char *mode) {
    if (!path || !mode) return nullptr;
    if (path[0] != '@') return vfile_open_real(path, mode);
    std::string name;
    if (!virtual_name(path, &name)) return nullptr;
    const char *plain_mode = mode[0] == '~' ? mode + 1 : mode;
    int read_only = strchr(plain_mode, 'r') && !strchr(plain_mode, '+');
    build_index();
    for (size_t i = 0; i < g_folders.folders.size(); i++) {
        std::string full = g_folders.folders[i] + name;
        if (full.size() > (size_t)kVirtualPathMax) {
            if (!read_only) return nullptr;
            continue;
        }
        VFile *vf = vfile_open_real(full, mode);
        if (vf || !read_only) return vf; // writes go to the home folder only
    }
    return read_only ? open_index_row(name) : nullptr;
}

// The real path for a rename operand; 0 when it cannot be formed.
static int rename_path(const char *path, std::string *out) {
    if (path[0] != '@') {
        *out = path;
        return !out->empty() && out->size() <= (size_t)kRealPathMax;
    }
    std::string name;
    const char *home = search_folder(0);
    if (!home || !virtual_name(path, &name)) return 0;
    *out = home + name;
    return out->size() <= (size_t)kVirtualPathMax;
}

int vfile_rename(const char *from, const char *to) {
    std::string a, b;
    if (!from || !to || !rename_path(from, &a) || !rename_path(to, &b)) return 0;
    return rename(a.c_str(), b.c_str()) == 0;
}
