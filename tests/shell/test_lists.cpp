// Track and demo lists from data names, and screenshot numbering.
#include "shell/screenshot.h"
#include "shell/track_list.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>

namespace {

std::map<std::string, std::string> g_descs;
int fake_desc(const std::string &folder, std::string *name) {
    auto it = g_descs.find(folder);
    if (it == g_descs.end()) return 0;
    *name = it->second;
    return 1;
}

TEST(TrackList, FoldersFromHeightFieldsSortedByDisplayNameIgnoringCase) {
    g_descs = {{"t1", "B"}, {"t2", "a"}, {"deep/t3", "C"}};
    const char *names[] = {"deep/t3/terrain.hf.gz", "t1/terrain.hf", "t1/tilemap", "t2/terrain.hf",
                           "nodesc/terrain.hf", "t2/terrain.hf.gz", "terrain.hf", nullptr};
    NamedList list;
    build_track_list(names, fake_desc, &list);
    std::vector<std::string> want_names = {"a", "B", "C", "nodesc"};
    std::vector<std::string> want_paths = {"t2", "t1", "deep/t3", "nodesc"};
    EXPECT_EQ(list.names, want_names);
    EXPECT_EQ(list.paths, want_paths);
    EXPECT_EQ(find_track(list, "t1"), 1);
    EXPECT_EQ(find_track(list, "T1"), -1);
}

TEST(DemoList, DemosFolderAndExtension) {
    const char *names[] = {"demos/race one.skdemo", "demos/sub/x.y.skdemo", "demos/a.skdemox",
                           "other/b.skdemo", "demos/plain.txt", nullptr};
    NamedList list;
    build_demo_list(names, &list);
    ASSERT_EQ(list.paths.size(), 2u);
    EXPECT_EQ(list.names[0], "race one");
    EXPECT_EQ(list.names[1], "x.y");
}

TEST(ScreenshotNumbers, ContinueAfterTheHighestExistingNumber) {
    struct Case {
        std::vector<const char *> names;
        int first;
    } cases[] = {
        {{}, 1},
        {{"screenshot001.png", "screenshot007.ppm", "screenshot3.jpg", "config"}, 8},
        {{"screenshot.png", "myscreenshot9.png"}, 1},
        {{"screenshot0.png"}, 1},
        {{"screenshot999.png"}, 1000},
    };
    for (Case &c : cases) {
        c.names.push_back(nullptr);
        reset_screenshot_counter();
        EXPECT_EQ(next_screenshot_number(c.names.data()), c.first);
        // Later shots count on without scanning again.
        const char *more[] = {"screenshot5000.png", nullptr};
        EXPECT_EQ(next_screenshot_number(more), c.first + 1);
        EXPECT_EQ(next_screenshot_number(more), c.first + 2);
    }
}

TEST(VideoFrames, RowsGoOutTopFirst) {
    const unsigned char rgb[] = {1, 2, 3, 4, 5, 6,  // bottom row as read
                                 7, 8, 9, 10, 11, 12}; // top row
    char *buf = nullptr;
    size_t len = 0;
    FILE *out = open_memstream(&buf, &len);
    ASSERT_TRUE(write_ppm_frame(out, rgb, 2, 2));
    fclose(out);
    std::string s(buf, len);
    free(buf);
    std::string want = "P6\n2 2\n255\n";
    want += std::string("\x07\x08\x09\x0a\x0b\x0c\x01\x02\x03\x04\x05\x06", 12);
    EXPECT_EQ(s, want);
}

} // namespace
