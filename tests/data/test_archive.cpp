// ".saf" archives: which headers are valid, where the members lie, and that invalid
// archives add nothing to the file index.
#include "data/archive.h"
#include "data/vfile.h"
#include "data_fixture.h"

namespace {

struct HeaderCase {
    const char *what;
    std::string archive; // the whole archive
    const char *members; // expected "name@offset+size;..." or "invalid"
};

std::string describe(const std::vector<ArchiveMember> &members) {
    std::string s;
    for (const ArchiveMember &m : members) {
        if (!s.empty()) s += ";";
        s += m.name + "@" + std::to_string(m.offset) + "+" + std::to_string(m.size);
    }
    return s;
}

const std::vector<HeaderCase> &header_cases() {
    static const std::vector<HeaderCase> cases = {
        {"two members", "3 one\n2 two\n-\nAAABB", "one@14+3;two@17+2"},
        {"doubled slashes collapse", "12 a//b\n-\n123456789012", "a/b@10+12"},
        {"members may be empty", "0 empty\n1 x\n-\nX", "empty@14+0;x@14+1"},
        {"leading blanks and plus sign", "  +2 x\n-\nXY", "x@9+2"},
        {"any one separator character", "2\tname with space\n-\nXY", "name with space@20+2"},
        {"bytes after the last member are allowed", "1 x\n-\nXYZ", "x@6+1"},
        {"no members", "-\n", ""},
        {"negative zero is zero", "-0 x\n-\n", "x@7+0"},
        {"no terminator line", "3 lost\nABC", "invalid"},
        {"terminator with carriage return", "1 x\n-\r\nX", "invalid"},
        {"truncated inside a line", "3 one\n2 tw", "invalid"},
        {"truncated after the entries", "3 one\n", "invalid"},
        {"empty file", "", "invalid"},
        {"negative size", "-3 x\n-\nABC", "invalid"},
        {"member past the end", "3 a\n4 b\n-\nAAABBB", "invalid"},
        {"huge size", "99999999999999999999999 a\n-\nA", "invalid"},
        {"line without a number", "x y\n-\n", "invalid"},
        {"number without a name", "3\n-\nABC", "invalid"},
        {"number and separator only", "3 \n-\nABC", "invalid"},
        {"blank line", "\n-\n", "invalid"},
        {"line over 1023 bytes", "1 " + std::string(1021, 'n') + "\n-\nX", "invalid"},
        {"line of exactly 1023 bytes", "1 " + std::string(1020, 'n') + "\n-\nX",
         "nnnn"}, // checked by prefix below
        {"name holding NUL", std::string("1 a\0b\n-\nX", 9), "invalid"},
    };
    return cases;
}

TEST(ArchiveHeader, ValidityAndMemberPlacement) {
    for (const HeaderCase &c : header_cases()) {
        SCOPED_TRACE(c.what);
        VFile *vf = vfile_open_memory(c.archive.data(), c.archive.size(), 0);
        ASSERT_TRUE(vf);
        std::vector<ArchiveMember> members = {{"stale", 1, 1}};
        int64_t header = -1;
        int ok = archive_read_header(vf, (int64_t)c.archive.size(), &members, &header);
        vfile_close(vf);
        std::string expected = c.members;
        if (expected == "invalid") {
            EXPECT_EQ(ok, 0);
            EXPECT_TRUE(members.empty());
        } else if (expected == "nnnn") {
            ASSERT_EQ(ok, 1);
            ASSERT_EQ(members.size(), 1u);
            EXPECT_EQ(members[0].name, std::string(1020, 'n'));
            EXPECT_EQ(header, 1025);
        } else {
            EXPECT_EQ(ok, 1);
            EXPECT_EQ(describe(members), expected);
            EXPECT_EQ(header, (int64_t)(c.archive.find("-\n") + 2));
        }
    }
}

// The same headers as archives in a search folder: only valid ones add members.
class ArchiveIndex : public DataFolders {};

TEST_F(ArchiveIndex, InvalidArchivesContributeNothing) {
    for (const HeaderCase &c : header_cases()) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        write_file(install_ + "test.saf", to_bytes(c.archive));
        int names = 0;
        for (const char *const *n = vfile_list_names(); *n; n++) names++;
        std::string expected = c.members;
        if (expected == "invalid") {
            EXPECT_EQ(names, 1); // test.saf itself
        } else if (std::string(c.what) == "two members") {
            EXPECT_EQ(read_path("@one"), "AAA");
            EXPECT_EQ(read_path("@two"), "BB");
        }
    }
    TearDown();
    SetUp();
    write_file(install_ + "test.saf", "12 a//b\n-\n123456789012");
    EXPECT_EQ(read_path("@a/b"), "123456789012");
    EXPECT_EQ(read_path("@a//b"), "123456789012");
}

TEST_F(ArchiveIndex, OnlyExactSafSuffixMarksAnArchive) {
    std::string archive = "1 inner\n-\nI";
    write_file(install_ + "upper.SAF", archive);
    write_file(install_ + ".saf", archive);
    write_file(install_ + "real.saf", pack_archive({{"nested.saf", to_bytes("1 deep\n-\nD")}}));
    EXPECT_EQ(read_path("@inner"), "<no file>");
    EXPECT_EQ(read_path("@deep"), "<no file>"); // members are not examined as archives
    EXPECT_EQ(read_path("@nested.saf"), "1 deep\n-\nD");
}

TEST(ArchiveWriter, PacksWhatTheReaderReads) {
    Bytes a = to_bytes("first"), b = random_bytes(3000, 1), empty;
    Bytes packed = pack_archive({{"dir//a.txt", a}, {"b.bin", b}, {"e", empty}});
    VFile *vf = vfile_open_memory(packed.data(), packed.size(), 0);
    std::vector<ArchiveMember> members;
    ASSERT_EQ(archive_read_header(vf, (int64_t)packed.size(), &members, nullptr), 1);
    vfile_close(vf);
    ASSERT_EQ(members.size(), 3u);
    EXPECT_EQ(members[0].name, "dir/a.txt");
    EXPECT_EQ(Bytes(packed.begin() + members[0].offset,
                    packed.begin() + members[0].offset + members[0].size),
              a);
    EXPECT_EQ(Bytes(packed.begin() + members[1].offset,
                    packed.begin() + members[1].offset + members[1].size),
              b);
    EXPECT_EQ(members[2].offset + members[2].size, (int64_t)packed.size());

    std::string header;
    for (const char *bad : {"", "line\nfeed"}) {
        std::vector<ArchiveMember> one = {{bad, 0, 1}};
        EXPECT_EQ(archive_format_header(one, &header), 0) << bad;
    }
    std::vector<ArchiveMember> nul = {{std::string("a\0b", 3), 0, 1}};
    EXPECT_EQ(archive_format_header(nul, &header), 0);
    std::vector<ArchiveMember> longest = {{std::string(1021, 'n'), 0, 5}};
    EXPECT_EQ(archive_format_header(longest, &header), 0); // "5 " + name + "\n" is 1024
    longest[0].name.pop_back();
    EXPECT_EQ(archive_format_header(longest, &header), 1);
}

} // namespace
