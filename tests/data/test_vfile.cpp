// Virtual paths: search-folder precedence, archives in the index, reads, seeks, writes,
// backups, renames and the refusal of paths that escape or overflow.
#include "data/vfile.h"
#include "data_fixture.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum Where { kHome, kInstall };

// One file laid out before a lookup.
struct Placed {
    Where where;
    const char *path; // relative to the folder
    const char *text; // contents; a ".gz" path is stored compressed
    // For a ".saf" path: the members as "name=text;name=text" (".gz" names compressed).
};

struct PrecedenceCase {
    const char *what;
    std::vector<Placed> files;
    const char *open;     // the virtual path
    const char *expected; // what it reads, or "<no file>"
};

Bytes stored_bytes(const std::string &name, const std::string &text) {
    Bytes data = to_bytes(text);
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".gz") == 0) return gzip_with(data, 0);
    return data;
}

Bytes archive_from_list(const std::string &list) {
    std::vector<std::pair<std::string, Bytes>> members;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string item = list.substr(start, end - start);
        size_t eq = item.find('=');
        std::string name = item.substr(0, eq), text = item.substr(eq + 1);
        members.push_back(std::make_pair(name, stored_bytes(name, text)));
        start = end + 1;
    }
    return pack_archive(members);
}

class VirtualPaths : public DataFolders {
  protected:
    void place(const Placed &p) {
        std::string path = (p.where == kHome ? home_ : install_) + p.path;
        std::string name = p.path;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".saf") == 0)
            write_file(path, archive_from_list(p.text));
        else
            write_file(path, stored_bytes(name, p.text));
    }
};

TEST_F(VirtualPaths, SearchOrderAndArchives) {
    const PrecedenceCase cases[] = {
        {"home folder over installation folder",
         {{kHome, "config", "home"}, {kInstall, "config", "install"}},
         "@config",
         "home"},
        {"installation folder over archive",
         {{kInstall, "font.txt", "plain"}, {kInstall, "a.saf", "font.txt=member"}},
         "@font.txt",
         "plain"},
        {"archive member alone",
         {{kInstall, "a.saf", "x=1;font.txt=member;y=2"}},
         "@font.txt",
         "member"},
        {"gz twin in the home folder",
         {{kHome, "t/lines.gz", "compressed"}},
         "@t/lines",
         "compressed"},
        {"home gz twin over installation plain file",
         {{kHome, "t/lines.gz", "home gz"}, {kInstall, "t/lines", "install"}},
         "@t/lines",
         "home gz"},
        {"plain file over its own gz twin",
         {{kHome, "t/lines", "plain"}, {kHome, "t/lines.gz", "gz"}},
         "@t/lines",
         "plain"},
        {"gz member of an archive",
         {{kInstall, "a.saf", "sound.braap.gz=engine"}},
         "@sound.braap",
         "engine"},
        {"gz member asked for by its own name is not decompressed",
         {{kInstall, "a.saf", "s.gz=x"}},
         "@s.gz",
         "<gz>"},
        {"case-only difference finds the member",
         {{kInstall, "a.saf", "Textures/Font.PNG=pixels"}},
         "@textures/font.png",
         "pixels"},
        {"two archives: the one that sorts first",
         {{kHome, "b.saf", "m=from b"}, {kInstall, "a.saf", "m=from a"}},
         "@m",
         "from a"},
        {"plain file over two archives",
         {{kHome, "b.saf", "m=from b"}, {kInstall, "a.saf", "m=from a"}, {kInstall, "m", "plain"}},
         "@m",
         "plain"},
        {"archive in a sub-folder",
         {{kInstall, "packs/z.saf", "deep/name=inside"}},
         "@deep/name",
         "inside"},
        {"doubled and back slashes in the name", {{kInstall, "a/b/c", "abc"}}, "@a//b\\c", "abc"},
        {"missing everywhere", {{kInstall, "a.saf", "x=1"}}, "@nothing", "<no file>"},
        {"parent component refused", {{kInstall, "sub/x", "x"}}, "@sub/../sub/x", "<no file>"},
    };
    for (const PrecedenceCase &c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        for (const Placed &p : c.files) place(p);
        std::string got = read_path(c.open);
        if (!strcmp(c.expected, "<gz>"))
            EXPECT_EQ(got.substr(0, 2), "\x1f\x8b");
        else
            EXPECT_EQ(got, c.expected);
    }
}

TEST_F(VirtualPaths, InstallationFolderIsSkHomeOrTheExecutableFolder) {
    ASSERT_TRUE(search_folder(0));
    EXPECT_EQ(std::string(search_folder(0)), home_);
    ASSERT_TRUE(search_folder(1));
    EXPECT_EQ(std::string(search_folder(1)), install_);
    EXPECT_FALSE(search_folder(2));
    EXPECT_FALSE(search_folder(-1));

    // A file beside the test program is found only while SK_HOME is unset.
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string exe_folder = std::string(exe, (size_t)n);
    exe_folder = exe_folder.substr(0, exe_folder.rfind('/') + 1);
    std::string name = "sk-exe-folder-probe-" + std::to_string(getpid());
    write_file(exe_folder + name, "beside the program");
    std::string with_sk_home = read_path(("@" + name).c_str());
    set_env("SK_HOME", nullptr);
    vfile_reset();
    std::string folder1 = search_folder(1) ? search_folder(1) : "";
    std::string without = read_path(("@" + name).c_str());
    remove((exe_folder + name).c_str());
    EXPECT_EQ(with_sk_home, "<no file>");
    EXPECT_EQ(without, "beside the program");
    EXPECT_EQ(folder1, exe_folder);
}

TEST_F(VirtualPaths, FoldersAreNormalisedAndDefaultToLocalShare) {
    set_env("SK_HOME", (root_ + "/install//").c_str());
    set_env("XDG_DATA_HOME", nullptr);
    set_env("HOME", (root_ + "user").c_str());
    vfile_reset();
    EXPECT_EQ(std::string(search_folder(0)), root_ + "user/.local/share/Skarvex/");
    EXPECT_EQ(std::string(search_folder(1)), install_);
    set_env("XDG_DATA_HOME", "relative/path"); // not absolute: ignored
    vfile_reset();
    EXPECT_EQ(std::string(search_folder(0)), root_ + "user/.local/share/Skarvex/");
}

TEST_F(VirtualPaths, NameListIsSortedAndDistinct) {
    write_file(install_ + "b/two", "x");
    write_file(home_ + "b/two", "y");
    write_file(install_ + "a.saf", archive_from_list("b/two=z;c=w"));
    write_file(install_ + "bad.saf", "3 lost\n"); // no "-" line: contributes nothing
    std::vector<std::string> names;
    for (const char *const *n = vfile_list_names(); *n; n++) names.push_back(*n);
    std::vector<std::string> expected = {"a.saf", "b/two", "bad.saf", "c"};
    EXPECT_EQ(names, expected);
}

TEST_F(VirtualPaths, FolderWalkSurvivesLinkLoops) {
    write_file(install_ + "a/b/file", "data");
    ASSERT_EQ(symlink(install_.c_str(), (install_ + "a/b/up").c_str()), 0);
    ASSERT_EQ(symlink("../a", (install_ + "a/self").c_str()), 0);
    ASSERT_EQ(symlink("b/file", (install_ + "a/link-to-file").c_str()), 0);
    std::vector<std::string> names;
    for (const char *const *n = vfile_list_names(); *n; n++) names.push_back(*n);
    std::vector<std::string> expected = {"a/b/file", "a/link-to-file"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(read_path("@A/LINK-to-file"), "data");
}

TEST_F(VirtualPaths, ParentComponentsNeverReachOutside) {
    write_file(root_ + "secret", "outside");
    for (const char *path : {"@../../secret", "@a/../../../secret", "@..\\..\\secret", "@.."}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(read_path(path), "<no file>");
        EXPECT_FALSE(vfile_open(path, "wb"));
        EXPECT_FALSE(vfile_rename("@x", path));
    }
    EXPECT_EQ(read_file(root_ + "secret"), "outside");
    EXPECT_FALSE(file_exists(root_ + "xdg/outside"));
    // A name merely starting with dots is an ordinary name.
    VFile *vf = vfile_open("@..dots", "wb");
    ASSERT_TRUE(vf);
    vfile_close(vf);
    EXPECT_TRUE(file_exists(home_ + "..dots"));
}

TEST_F(VirtualPaths, OverlongPathsAreRefusedNotTruncated) {
    // Build a name that makes the home path one character over the limit, and put a file
    // at the place the truncated path would name.
    std::string dir = std::string(200, 'd') + "/" + std::string(200, 'e') + "/";
    size_t room = 511 - home_.size() - dir.size();
    std::string name = dir + std::string(room + 1, 'f');
    std::string truncated = dir + std::string(room, 'f');
    write_file(home_ + truncated, "wrong file");
    EXPECT_EQ(read_path(("@" + truncated).c_str()), "wrong file");
    EXPECT_EQ(read_path(("@" + name).c_str()), "<no file>");
    VFile *vf = vfile_open(("@" + name).c_str(), "wb");
    EXPECT_FALSE(vf);
    vfile_close(vf);
    EXPECT_EQ(read_file(home_ + truncated), "wrong file");
    EXPECT_FALSE(vfile_open(std::string(1100, 'r').c_str(), "wb"));
}

TEST_F(VirtualPaths, WritesGoToTheHomeFolderAndCreateIt) {
    write_file(install_ + "results.txt", "old install copy");
    ASSERT_FALSE(file_exists(home_));
    VFile *vf = vfile_open("@results.txt", "wb");
    ASSERT_TRUE(vf);
    EXPECT_EQ(vfile_puts(vf, "line one\r\n"), 1);
    EXPECT_EQ(vfile_putc(vf, 'x'), 'x');
    EXPECT_EQ(vfile_write(vf, "yz", 2), 2u);
    EXPECT_EQ(vfile_printf(vf, "%d-%s", 7, "ok"), 4);
    EXPECT_EQ(vfile_flush(vf), 1);
    vfile_close(vf);
    EXPECT_EQ(read_file(home_ + "results.txt"), "line one\r\nxyz7-ok");
    EXPECT_EQ(read_file(install_ + "results.txt"), "old install copy");
    EXPECT_EQ(read_path("@results.txt"), "line one\r\nxyz7-ok");

    vf = vfile_open("@demos/deep/new.skdemo", "ab");
    ASSERT_TRUE(vf);
    vfile_close(vf);
    EXPECT_TRUE(file_exists(home_ + "demos/deep/new.skdemo"));
    // Read handles refuse writes.
    vf = vfile_open("@results.txt", "rb");
    ASSERT_TRUE(vf);
    EXPECT_EQ(vfile_putc(vf, 'q'), -1);
    EXPECT_EQ(vfile_write(vf, "q", 1), 0u);
    vfile_close(vf);
}

TEST_F(VirtualPaths, TildeModeKeepsNumberedBackups) {
    for (const char *text : {"first", "second", "third"}) {
        VFile *vf = vfile_open("@config", "~wb");
        ASSERT_TRUE(vf);
        vfile_puts(vf, text);
        vfile_close(vf);
    }
    EXPECT_EQ(read_file(home_ + "config"), "third");
    EXPECT_EQ(read_file(home_ + "config.~1~"), "first");
    EXPECT_EQ(read_file(home_ + "config.~2~"), "second");
    EXPECT_FALSE(file_exists(home_ + "config.~3~"));
    // The smallest free number is used, even below existing ones.
    remove((home_ + "config.~1~").c_str());
    VFile *vf = vfile_open("@config", "~wb");
    ASSERT_TRUE(vf);
    vfile_close(vf);
    EXPECT_EQ(read_file(home_ + "config.~1~"), "third");
    EXPECT_EQ(read_file(home_ + "config"), "");
    // A large file is copied whole.
    Bytes big = random_bytes(200000, 5);
    write_file(home_ + "big", big);
    vf = vfile_open("@big", "~wb");
    ASSERT_TRUE(vf);
    vfile_close(vf);
    EXPECT_EQ(to_bytes(read_file(home_ + "big.~1~")), big);
    // Nothing to back up: no backup file.
    vf = vfile_open("@fresh", "~wb");
    ASSERT_TRUE(vf);
    vfile_close(vf);
    EXPECT_FALSE(file_exists(home_ + "fresh.~1~"));
}

TEST_F(VirtualPaths, RenameWorksBelowTheHomeFolder) {
    write_file(home_ + "demos/default.skdemo", "demo");
    EXPECT_EQ(vfile_rename("@demos/default.skdemo", "@demos/race1.skdemo"), 1);
    EXPECT_EQ(read_file(home_ + "demos/race1.skdemo"), "demo");
    EXPECT_FALSE(file_exists(home_ + "demos/default.skdemo"));
    EXPECT_EQ(vfile_rename("@demos/none", "@demos/other"), 0);
    EXPECT_EQ(vfile_rename(("@demos/race1.skdemo"), (root_ + "moved").c_str()), 1);
    EXPECT_EQ(read_file(root_ + "moved"), "demo");
}

// Reading calls behave alike on a plain file, an archive member and a gzip stream.
class HandleKinds : public DataFolders {
  protected:
    void SetUp() override {
        DataFolders::SetUp();
        text_ = "alpha\nbeta\n" + std::string(3000, 'g') + "\nomega";
        write_file(install_ + "plain.txt", text_);
        write_file(install_ + "a.saf",
                   pack_archive({{"before", to_bytes("BEFORE")},
                                 {"member.txt", to_bytes(text_)},
                                 {"packed.txt.gz", gzip_with(to_bytes(text_), 0)},
                                 {"after", to_bytes("AFTER")}}));
    }
    std::string text_;
};

TEST_F(HandleKinds, ReadsDeliverExactlyTheData) {
    for (const char *path : {"@plain.txt", "@member.txt", "@packed.txt"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(read_path(path), text_);
        VFile *vf = vfile_open(path, "rb");
        ASSERT_TRUE(vf);
        char buf[4096];
        EXPECT_EQ(vfile_read(vf, buf, 0), 0u);
        EXPECT_EQ(vfile_peekc(vf), 'a');
        EXPECT_EQ(vfile_peekc(vf), 'a');
        EXPECT_EQ(vfile_tell(vf), 0);
        EXPECT_EQ(vfile_read(vf, buf, 3), 3u);
        EXPECT_EQ(std::string(buf, 3), "alp");
        EXPECT_EQ(vfile_tell(vf), 3);
        ASSERT_TRUE(vfile_gets(vf, buf, sizeof buf));
        EXPECT_STREQ(buf, "ha\n");
        ASSERT_TRUE(vfile_gets(vf, buf, 3)); // at most n - 1 bytes
        EXPECT_STREQ(buf, "be");
        EXPECT_EQ(vfile_getc(vf), 't');
        EXPECT_EQ(vfile_peekc(vf), 'a');
        // A block read across many decoding windows, then the tail.
        size_t n = vfile_read(vf, buf, 3003);
        EXPECT_EQ(n, 3003u);
        EXPECT_EQ(std::string(buf, n), "a\n" + std::string(3000, 'g') + "\n");
        EXPECT_EQ(vfile_read(vf, buf, sizeof buf), 5u);
        EXPECT_EQ(std::string(buf, 5), "omega");
        EXPECT_EQ(vfile_getc(vf), -1);
        EXPECT_EQ(vfile_peekc(vf), -1);
        EXPECT_FALSE(vfile_gets(vf, buf, sizeof buf));
        EXPECT_EQ(vfile_read(vf, buf, sizeof buf), 0u);
        vfile_close(vf);
    }
}

TEST_F(HandleKinds, SeekOnlyWithinUncompressedData) {
    VFile *member = vfile_open("@member.txt", "rb");
    VFile *plain = vfile_open("@plain.txt", "rb");
    VFile *packed = vfile_open("@packed.txt", "rb");
    ASSERT_TRUE(member && plain && packed);
    long size = (long)text_.size();
    for (VFile *vf : {member, plain}) {
        EXPECT_EQ(vfile_getc(vf), 'a');
        EXPECT_EQ(vfile_seek(vf, size - 5), 1);
        EXPECT_EQ(vfile_tell(vf), size - 5);
        EXPECT_EQ(vfile_getc(vf), 'o');
        EXPECT_EQ(vfile_peekc(vf), 'm');
        EXPECT_EQ(vfile_seek(vf, 6), 1); // clears the lookahead
        EXPECT_EQ(vfile_getc(vf), 'b');
        EXPECT_EQ(vfile_seek(vf, -1), 0);
    }
    // At or beyond the member's size: refused, and the handle is where it was.
    EXPECT_EQ(vfile_seek(member, size), 0);
    EXPECT_EQ(vfile_seek(member, size + 100), 0);
    EXPECT_EQ(vfile_getc(member), 'e');
    EXPECT_EQ(vfile_getc(packed), 'a');
    EXPECT_EQ(vfile_seek(packed, 0), 0);
    EXPECT_EQ(vfile_getc(packed), 'l');
    // The member ends at its size; the next member's bytes never show.
    EXPECT_EQ(vfile_seek(member, size - 1), 1);
    char buf[64];
    EXPECT_EQ(vfile_read(member, buf, sizeof buf), 1u);
    EXPECT_EQ(vfile_getc(member), -1);
    vfile_close(member);
    vfile_close(plain);
    vfile_close(packed);
}

TEST_F(HandleKinds, MemoryHandlesBehaveLikeMembers) {
    std::string s = "0123456789";
    VFile *vf = vfile_open_memory(s.data(), s.size(), 0);
    ASSERT_TRUE(vf);
    EXPECT_EQ(vfile_seek(vf, 10), 0);
    EXPECT_EQ(vfile_seek(vf, 8), 1);
    EXPECT_EQ(read_all(vf), "89");
    Bytes gz = gzip_with(to_bytes(text_), kGzName);
    EXPECT_EQ(read_all(vfile_open_memory(gz.data(), gz.size(), 1)), text_);
    EXPECT_EQ(read_all(vfile_open_memory(s.data(), s.size(), 1)), "<no file>");
    EXPECT_EQ(read_all(vfile_open_memory(nullptr, 0, 0)), "");
}

TEST_F(HandleKinds, RealPathsAndTheirGzTwins) {
    write_file(root_ + "only.gz", gzip_with(to_bytes("twin"), 0));
    EXPECT_EQ(read_path((root_ + "only").c_str()), "twin");
    EXPECT_EQ(read_path((install_ + "plain.txt").c_str()), text_);
    EXPECT_EQ(read_path(root_.c_str()), "<no file>"); // a folder is not a file
    EXPECT_EQ(read_path((root_ + "none").c_str()), "<no file>");
    EXPECT_FALSE(vfile_open((root_ + "x").c_str(), "q"));
    // Writing a real path does not look for twins and creates the folders.
    VFile *vf = vfile_open((root_ + "made/here/x").c_str(), "w");
    ASSERT_TRUE(vf);
    vfile_close(vf);
    EXPECT_TRUE(file_exists(root_ + "made/here/x"));
}

} // namespace
