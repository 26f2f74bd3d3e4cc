// gzip streams: every header field, damaged headers and streams, and the bound on a
// member's compressed input.
#include "data/vfile.h"
#include "data_fixture.h"

namespace {

// Reads a handle to the end with a mix of calls; the bytes in order.
Bytes read_mixed(VFile *vf) {
    Bytes out;
    uint8_t buf[5000];
    for (int round = 0;; round++) {
        if (round % 3 == 0) {
            int c = vfile_getc(vf);
            if (c < 0) break;
            out.push_back((uint8_t)c);
        } else {
            size_t n = vfile_read(vf, buf, round % 3 == 1 ? 7 : sizeof buf);
            if (n == 0) break;
            out.insert(out.end(), buf, buf + n);
        }
    }
    return out;
}

Bytes read_bytes(VFile *vf) {
    Bytes out;
    int c;
    while ((c = vfile_getc(vf)) >= 0) out.push_back((uint8_t)c);
    return out;
}

TEST(GzipStream, EveryHeaderFieldCombination) {
    const Bytes data = text_bytes(70000, 3); // many windows and several input refills
    for (int fields = 0; fields < 16; fields++) {
        SCOPED_TRACE(fields);
        Bytes gz = gzip_with(data, fields);
        VFile *vf = vfile_open_memory(gz.data(), gz.size(), 1);
        ASSERT_TRUE(vf);
        EXPECT_EQ(read_mixed(vf), data);
        EXPECT_EQ(vfile_getc(vf), -1);
        vfile_close(vf);
    }
    Bytes gz = gzip_with(Bytes(), kGzName | kGzComment);
    VFile *vf = vfile_open_memory(gz.data(), gz.size(), 1);
    ASSERT_TRUE(vf);
    EXPECT_EQ(vfile_getc(vf), -1);
    vfile_close(vf);
}

TEST(GzipStream, DamagedHeadersFailTheOpen) {
    Bytes all = gzip_with(to_bytes("payload"), kGzExtra | kGzName | kGzComment | kGzHeaderCrc);
    // The header: 10 fixed bytes, 2 + 17 extra, "member.txt\0", "a comment\0", 2 of CRC.
    const size_t header = 10 + 2 + 17 + 11 + 10 + 2;
    for (size_t cut = 0; cut < header; cut++) {
        SCOPED_TRACE(cut);
        VFile *vf = vfile_open_memory(all.data(), cut, 1);
        EXPECT_FALSE(vf);
        vfile_close(vf);
    }
    VFile *vf = vfile_open_memory(all.data(), header, 1); // header alone: opens, no data
    ASSERT_TRUE(vf);
    EXPECT_EQ(vfile_getc(vf), -1);
    vfile_close(vf);

    struct Patch {
        size_t at;
        uint8_t value;
    } patches[] = {{0, 0x1e}, {1, 0x8c}, {2, 7}, {3, 32}, {3, 0xff}};
    for (const Patch &p : patches) {
        Bytes bad = all;
        bad[p.at] = p.value;
        EXPECT_FALSE(vfile_open_memory(bad.data(), bad.size(), 1)) << p.at;
    }
    // A length-prefixed extra field longer than the stream.
    Bytes extra = all;
    extra[10] = 0xff;
    extra[11] = 0xff;
    EXPECT_FALSE(vfile_open_memory(extra.data(), extra.size(), 1));
    // A name with no NUL inside the first input buffer.
    Bytes long_name = {0x1f, 0x8b, 8, 8, 0, 0, 0, 0, 0, 3};
    long_name.resize(40000, 'n');
    EXPECT_FALSE(vfile_open_memory(long_name.data(), long_name.size(), 1));
}

TEST(GzipStream, TruncatedStreamEndsWithAPrefix) {
    const Bytes data = random_bytes(50000, 9);
    Bytes gz = gzip_with(data, 0);
    for (size_t keep : {(size_t)11, (size_t)100, gz.size() / 3, gz.size() - 9, gz.size() - 1}) {
        SCOPED_TRACE(keep);
        VFile *vf = vfile_open_memory(gz.data(), keep, 1);
        ASSERT_TRUE(vf);
        Bytes got = read_mixed(vf);
        EXPECT_EQ(vfile_getc(vf), -1);
        vfile_close(vf);
        ASSERT_LE(got.size(), data.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
        if (keep >= gz.size() - 8)
            EXPECT_EQ(got.size(), data.size()); // only the trailer lost
        else
            EXPECT_LT(got.size(), data.size());
    }
}

TEST(GzipStream, CorruptStreamEndsCleanly) {
    const Bytes data = text_bytes(20000, 4);
    Bytes gz = gzip_with(data, 0);
    // Block type 3 is reserved: the decoder stops at once.
    Bytes bad_type = gz;
    bad_type[10] |= 6;
    VFile *vf = vfile_open_memory(bad_type.data(), bad_type.size(), 1);
    ASSERT_TRUE(vf);
    EXPECT_EQ(read_bytes(vf).size(), 0u);
    vfile_close(vf);
    // Scrambled data somewhere inside: whatever decodes, the reads end.
    for (size_t at : {gz.size() / 4, gz.size() / 2}) {
        Bytes bad = gz;
        for (size_t i = at; i < at + 64; i++) bad[i] ^= 0x5a;
        vf = vfile_open_memory(bad.data(), bad.size(), 1);
        ASSERT_TRUE(vf);
        Bytes got = read_mixed(vf);
        EXPECT_EQ(vfile_getc(vf), -1);
        EXPECT_EQ(vfile_peekc(vf), -1);
        vfile_close(vf);
        EXPECT_LT(got.size(), data.size() * 2);
    }
}

class GzipMembers : public DataFolders {};

TEST_F(GzipMembers, MemberInputStopsAtItsSize) {
    // A stream split over two members: reading the first must not decode on into the
    // second, however many input refills it takes.
    const Bytes data = random_bytes(120000, 2);
    Bytes gz = gzip_with(data, 0);
    size_t split = 40000;
    Bytes first(gz.begin(), gz.begin() + split), second(gz.begin() + split, gz.end());
    write_file(install_ + "a.saf", pack_archive({{"first.gz", first}, {"second", second}}));
    Bytes got = to_bytes(read_path("@first"));
    EXPECT_GT(got.size(), 30000u);
    EXPECT_LT(got.size(), split);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
    // The same stream whole, as a member between others.
    write_file(install_ + "b.saf",
               pack_archive({{"x", to_bytes("X")}, {"whole.gz", gz}, {"y", to_bytes("Y")}}));
    vfile_reset();
    EXPECT_EQ(to_bytes(read_path("@whole")), data);
    EXPECT_EQ(read_path("@y"), "Y");
}

TEST_F(GzipMembers, TinyAndDamagedFilesFailOrEnd) {
    write_file(install_ + "two.gz", Bytes{0x1f, 0x8b});
    write_file(install_ + "ten.gz", Bytes{0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3});
    Bytes gz = gzip_with(to_bytes("hello"), kGzName);
    write_file(install_ + "a.saf", pack_archive({{"cut.gz", Bytes(gz.begin(), gz.begin() + 5)},
                                                 {"pad", to_bytes(std::string(100, 'p'))}}));
    EXPECT_EQ(read_path("@two"), "<no file>");
    EXPECT_EQ(read_path("@ten"), "");
    EXPECT_EQ(read_path("@cut"), "<no file>"); // its header runs past the member
}

} // namespace
