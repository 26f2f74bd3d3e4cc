// skarvex-saf: a folder of files, gzip members included, round-trips through an archive
// that the game then reads through "@" paths.
#include "data/archive.h"
#include "data/vfile.h"
#include "data_fixture.h"

#include <sstream>

namespace {

const std::string kTool = SK_BIN_DIR "/skarvex-saf";

class SafTool : public DataFolders {
  protected:
    void SetUp() override {
        DataFolders::SetUp();
        source_ = root_ + "source/";
        files_ = {
            {"bikes/yz250f.braap.gz", gzip_with(text_bytes(40000, 2), kGzName)},
            {"bikes/yz250f.txt", text_bytes(5000, 1)},
            {"empty", Bytes()},
            {"textures/a b.png", random_bytes(70000, 3)},
            {"tracks/hill/terrain.hf.gz", gzip_with(random_bytes(30000, 4), 0)},
        };
        for (const auto &f : files_) write_file(source_ + f.first, f.second);
    }
    std::string source_;
    std::vector<std::pair<std::string, Bytes>> files_; // sorted by name
};

TEST_F(SafTool, RoundTripsAFolder) {
    std::string archive = install_ + "pack.saf", out;
    ASSERT_EQ(run_program({kTool, "create", archive, source_}, &out), 0);
    ASSERT_EQ(run_program({kTool, "check", archive}, &out), 0);
    EXPECT_NE(out.find("valid, 5 members"), std::string::npos) << out;

    // The listing agrees with the header.
    std::vector<ArchiveMember> members;
    ASSERT_EQ(archive_read_file(archive.c_str(), &members, nullptr, nullptr), 1);
    ASSERT_EQ(run_program({kTool, "list", archive}, &out), 0);
    std::istringstream lines(out);
    std::string line;
    std::getline(lines, line);
    ASSERT_EQ(members.size(), files_.size());
    for (size_t i = 0; i < members.size(); i++) {
        long long offset = -1, size = -1;
        lines >> offset >> size;
        lines.get(); // the space before the name
        std::getline(lines, line);
        EXPECT_EQ(offset, members[i].offset);
        EXPECT_EQ(size, members[i].size);
        EXPECT_EQ(line, members[i].name);
        EXPECT_EQ(members[i].name, files_[i].first);
        EXPECT_EQ(size, (long long)files_[i].second.size());
    }

    for (const auto &f : files_) {
        SCOPED_TRACE(f.first);
        std::string extracted = root_ + "extracted";
        ASSERT_EQ(run_program({kTool, "extract", archive, f.first, extracted}, nullptr), 0);
        EXPECT_EQ(to_bytes(read_file(extracted)), f.second);
        // The game reads the member through "@", decompressing ".gz" members on the way.
        EXPECT_EQ(to_bytes(read_path(("@" + f.first).c_str())), f.second);
        std::string name = f.first;
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".gz") == 0) {
            name.resize(name.size() - 3);
            ASSERT_EQ(
                run_program({kTool, "extract", archive, f.first, extracted, "--gunzip"}, nullptr),
                0);
            std::string plain = read_file(extracted);
            EXPECT_EQ(read_path(("@" + name).c_str()), plain);
            EXPECT_GT(plain.size(), 0u);
        }
    }
    EXPECT_EQ(read_path("@bikes/yz250f.braap"),
              std::string((const char *)text_bytes(40000, 2).data(), 40000));
}

TEST_F(SafTool, ChosenMembersAndErrors) {
    std::string archive = root_ + "some.saf", out;
    ASSERT_EQ(run_program({kTool, "create", archive, source_, "empty", "bikes/yz250f.txt"}, &out),
              0);
    std::vector<ArchiveMember> members;
    ASSERT_EQ(archive_read_file(archive.c_str(), &members, nullptr, nullptr), 1);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].name, "empty");
    EXPECT_NE(run_program({kTool, "create", archive, source_, "no/such/file"}, nullptr), 0);
    EXPECT_NE(run_program({kTool, "extract", archive, "missing", root_ + "x"}, nullptr), 0);
    EXPECT_NE(run_program({kTool, "list", source_ + "empty"}, nullptr), 0);
    EXPECT_NE(run_program({kTool}, nullptr), 0);
    // A damaged header and a damaged gzip member are reported.
    write_file(root_ + "bad.saf", "5 x\n-\nabc");
    EXPECT_EQ(run_program({kTool, "check", root_ + "bad.saf"}, nullptr), 1);
    write_file(root_ + "badgz.saf", "3 x.gz\n-\nabc");
    EXPECT_EQ(run_program({kTool, "check", root_ + "badgz.saf"}, &out), 1);
    EXPECT_NE(out.find("x.gz"), std::string::npos);
    ASSERT_EQ(run_program({kTool, "digest", archive}, &out), 0);
    char hex[41];
    ASSERT_EQ(data_file_digest(archive.c_str(), hex), 1);
    EXPECT_EQ(out, std::string(hex) + "\n");
}

} // namespace
