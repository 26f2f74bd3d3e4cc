// The start-up data check, the log it names, the generator's archive and opening the
// home folder.
#include "data/archive.h"
#include "data/ripemd160.h"
#include "data/vfile.h"
#include "data_digest.h"
#include "data_fixture.h"
#include "platform/log.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

class DataCheck : public DataFolders {
  protected:
    void TearDown() override {
        log_close();
        DataFolders::TearDown();
    }
    Bytes game_archive() { return to_bytes(read_file(SK_GAME_DIR "/zzzz.saf")); }
};

TEST_F(DataCheck, ShippedArchiveMatchesTheBuiltInDigest) {
    Bytes archive = game_archive();
    ASSERT_GT(archive.size(), 0u) << "build the game data first";
    struct Layout {
        const char *what;
        int in_home, in_install; // 0 none, 1 the shipped archive, 2 an altered copy
        int expected;
    } layouts[] = {
        {"no archive anywhere", 0, 0, 0},
        {"in the installation folder", 0, 1, 1},
        {"in the home folder", 1, 0, 1},
        {"altered copy only", 0, 2, 0},
        {"altered in home, good in installation folder", 2, 1, 1},
        {"good in home, altered in installation folder", 1, 2, 1},
    };
    Bytes altered = archive;
    altered[altered.size() / 2] ^= 1;
    for (const Layout &l : layouts) {
        SCOPED_TRACE(l.what);
        TearDown();
        SetUp();
        if (l.in_home) write_file(home_ + "zzzz.saf", l.in_home == 1 ? archive : altered);
        if (l.in_install) write_file(install_ + "zzzz.saf", l.in_install == 1 ? archive : altered);
        EXPECT_EQ(check_game_data(SK_DATA_DIGEST), l.expected);
    }
    TearDown();
    SetUp();
    Bytes truncated(archive.begin(), archive.end() - 1);
    write_file(install_ + "zzzz.saf", truncated);
    EXPECT_EQ(check_game_data(SK_DATA_DIGEST), 0);
}

TEST_F(DataCheck, CreatesTheHomeFolderAndNamesTheLog) {
    set_env("VELK_LOGFILE", nullptr);
    log_close();
    ASSERT_FALSE(file_exists(home_));
    check_game_data(SK_DATA_DIGEST);
    EXPECT_TRUE(file_exists(home_));
    log_printf("after the check\n");
    log_close();
    std::string log = read_file(home_ + "lastlog.txt");
    EXPECT_NE(log.find("after the check"), std::string::npos) << log;
}

TEST_F(DataCheck, OnlyTheFirstMegabyteCounts) {
    Bytes big = random_bytes(1048576 + 5000, 8);
    write_file(install_ + "zzzz.saf", big);
    char hex[41];
    ASSERT_EQ(data_file_digest((install_ + "zzzz.saf").c_str(), hex), 1);
    Ripemd160 ctx;
    ripemd160_init(&ctx);
    ripemd160_update(&ctx, big.data(), 1048576);
    uint8_t d[20];
    ripemd160_final(&ctx, d);
    char expected[41];
    for (int i = 0; i < 20; i++) snprintf(expected + 2 * i, 3, "%02x", d[i]);
    EXPECT_STREQ(hex, expected);
    big[1048576 + 10] ^= 0xff;
    write_file(install_ + "zzzz.saf", big);
    EXPECT_EQ(check_game_data(expected), 1);
    std::string upper = expected;
    for (char &c : upper) c = (char)toupper(c);
    EXPECT_EQ(check_game_data(upper.c_str()), 1);
    big[1048575] ^= 0xff;
    write_file(install_ + "zzzz.saf", big);
    EXPECT_EQ(check_game_data(expected), 0);
    for (const char *bad : {"", "715c", "zz5c4d1e915e19e6456a63a9a7664a8716124d05"})
        EXPECT_EQ(check_game_data(bad), 0) << bad;
}

TEST_F(DataCheck, GeneratedArchiveIsReproducibleAndReadable) {
    // A second run of the generator gives the archive of the build's own run, byte for byte.
    std::string again = root_ + "again/";
    ASSERT_EQ(run_program({SK_BIN_DIR "/skarvex-datagen", again}, nullptr), 0);
    std::string archive = read_file(again + "zzzz.saf");
    EXPECT_EQ(to_bytes(archive), game_archive());
    // Every member reads through an "@" path from the generated folder.
    set_env("SK_HOME", again.c_str());
    vfile_reset();
    EXPECT_EQ(check_game_data(SK_DATA_DIGEST), 1);
    std::vector<ArchiveMember> members;
    ASSERT_EQ(archive_read_file((again + "zzzz.saf").c_str(), &members, nullptr, nullptr), 1);
    ASSERT_GE(members.size(), 1u);
    for (const ArchiveMember &m : members) {
        SCOPED_TRACE(m.name);
        std::string direct = archive.substr((size_t)m.offset, (size_t)m.size);
        std::string via = read_path(("@" + m.name).c_str());
        // A plain file of the same name in the folder would win; the generator writes none.
        EXPECT_EQ(via, direct);
    }
    EXPECT_NE(read_path("@readme.txt").find("Skarvex"), std::string::npos);
}

TEST_F(DataCheck, OpenHomeFolderStartsTheOpener) {
    std::string bin = root_ + "bin/";
    std::string marker = root_ + "opened";
    write_file(bin + "xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + marker + ".tmp'\n/bin/mv '" +
                                     marker + ".tmp' '" + marker + "'\n");
    chmod((bin + "xdg-open").c_str(), 0755);
    set_env("PATH", bin.c_str());
    EXPECT_EQ(open_home_folder(), 1);
    for (int i = 0; i < 200 && !file_exists(marker); i++) usleep(10000);
    EXPECT_EQ(read_file(marker), home_.substr(0, home_.size() - 1));
    EXPECT_TRUE(file_exists(home_));
    set_env("PATH", root_.c_str()); // no opener there
    EXPECT_EQ(open_home_folder(), 0);
}

} // namespace
