// The command line: option matching, values, clamps and the error texts.
#include "shell/command_line.h"
#include "shell/game_options.h"
#include "shell/settings.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Parsed {
    CommandLineResult result;
    std::string err;
};

Parsed parse(std::vector<std::string> args) {
    g_start = StartOptions();
    g_tuning = RenderTuning();
    settings_defaults();
    static std::vector<std::string> keep;
    keep = args;
    keep.insert(keep.begin(), "skarvex");
    std::vector<char *> argv;
    for (std::string &s : keep) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    char *buf = nullptr;
    size_t len = 0;
    FILE *err = open_memstream(&buf, &len);
    CommandLineResult r = parse_command_line((int)keep.size(), argv.data(), err);
    fclose(err);
    Parsed p{r, std::string(buf, len)};
    free(buf);
    return p;
}

TEST(MatchOption, FlagsMatchOnlyTheExactText) {
    char a0[] = "--debug=1", a1[] = "--debug";
    char *argv[] = {a0, a1};
    ArgCursor c = {2, argv, 0};
    EXPECT_EQ(match_option(&c, "--debug", nullptr), 0);
    EXPECT_EQ(c.remaining, 2);
    c.next++, c.remaining--;
    EXPECT_EQ(match_option(&c, "--debug", nullptr), 1);
    EXPECT_EQ(c.remaining, 0);
    EXPECT_EQ(match_option(&c, "--debug", nullptr), 0);
}

TEST(MatchOption, ValueOptionsTakeJoinedSeparateOrMissingValues) {
    char a0[] = "--lock-fps=30", a1[] = "--lock-fps", a2[] = "60", a3[] = "--lock-fps";
    char *argv[] = {a0, a1, a2, a3};
    ArgCursor c = {4, argv, 0};
    const char *v = nullptr;
    ASSERT_EQ(match_option(&c, "--lock-fps", &v), 1);
    EXPECT_STREQ(v, "30");
    ASSERT_EQ(match_option(&c, "--lock-fps", &v), 1);
    EXPECT_STREQ(v, "60");
    ASSERT_EQ(match_option(&c, "--lock-fps", &v), 1);
    EXPECT_EQ(v, nullptr);
    EXPECT_EQ(c.remaining, 0);
}

TEST(MatchOption, DoubleDashEndsOptions) {
    char a0[] = "--", a1[] = "--track";
    char *argv[] = {a0, a1};
    ArgCursor c = {2, argv, 0};
    const char *v = nullptr;
    EXPECT_EQ(match_option(&c, "--track", &v), 0);
    EXPECT_EQ(c.end_of_options, 1);
    EXPECT_EQ(c.remaining, 1);
    EXPECT_EQ(match_option(&c, "--track", &v), 0);
    EXPECT_EQ(c.remaining, 1);
}

TEST(CommandLine, ErrorsPrintTheirTextAndFail) {
    struct Case {
        std::vector<std::string> args;
        const char *err;
    } cases[] = {
        {{"--texture-detail", "x"}, "Bad arg for --texture-detail\n"},
        {{"--bogus"}, "bad option '--bogus'\n"},
        {{"--debug=1"}, "bad option '--debug=1'\n"},
        {{"a", "b"}, "Too many files!\n"},
        {{"--erode", "wet"}, "Bad arg for --erode\n"},
        {{"--chase-center", "1,2"}, "Bad arg for --chase-center\n"},
        {{"--fake-loss"}, "Bad arg for --fake-loss\n"},
        {{"--detail", "0"}, "Bad arg for --detail\n"},
        {{"--detail", "-1"}, "Bad arg for --detail\n"},
        {{"--depth", "20"}, "Bad arg for --depth (use 15, 16, 24 or 32)\n"},
        {{"--", "-demo", "other"}, "Too many files!\n"},
    };
    for (const Case &c : cases) {
        Parsed p = parse(c.args);
        EXPECT_EQ(p.result, CMDLINE_ERROR) << c.args[0];
        EXPECT_EQ(p.err, c.err) << c.args[0];
    }
}

TEST(CommandLine, ValuesAndClamps) {
    Parsed p = parse({"--texture-detail", "9"});
    EXPECT_EQ(p.result, CMDLINE_OK);
    EXPECT_EQ(g_tuning.texture_detail, 4);
    EXPECT_EQ(g_tuning.ground_texture_detail, 4);

    parse({"--texture-detail=-3"});
    EXPECT_EQ(g_tuning.texture_detail, 0);
    EXPECT_EQ(g_tuning.ground_texture_detail, 0);

    parse({"--ground-texture-detail", "2"});
    EXPECT_EQ(g_tuning.ground_texture_detail, 2);
    EXPECT_EQ(g_tuning.texture_detail, RenderTuning().texture_detail);

    parse({"--roostfrequency", "5000", "--erode", "3", "--lod-scale", "0", "--fake-lag", "250",
           "--fake-loss", "150", "--max-detail-distance", "90"});
    EXPECT_EQ(g_tuning.roost_frequency, 1000);
    EXPECT_FLOAT_EQ(g_tuning.erode, 1.0f);
    EXPECT_FLOAT_EQ(g_tuning.lod_scale, 0.000001f);
    EXPECT_DOUBLE_EQ(g_start.fake_lag, 0.25);
    EXPECT_EQ(g_start.fake_loss, 100);
    EXPECT_FLOAT_EQ(g_tuning.max_detail_far, 95.0f);

    parse({"--lock-fps=30"});
    float joined = g_start.lock_fps;
    parse({"--lock-fps", "30"});
    EXPECT_EQ(joined, 30.0f);
    EXPECT_EQ(g_start.lock_fps, 30.0f);

    parse({"--chase-center=1,2.5,-3", "--depth", "24", "--width", "800", "--height", "x"});
    EXPECT_FLOAT_EQ(g_start.chase_center[1], 2.5f);
    EXPECT_FLOAT_EQ(g_start.chase_center[2], -3.0f);
    EXPECT_EQ(g_start.colour_depth, 24);
    EXPECT_EQ(g_settings.xres, 800);
    EXPECT_EQ(g_settings.yres, 480); // unreadable: unchanged
}

TEST(CommandLine, FlagsConnectAndFiles) {
    parse({"--connect", "skarvex:race.example.org", "--track", "proving"});
    EXPECT_STREQ(g_start.server_address, "race.example.org");
    parse({"--connect=10.0.0.1:19800"});
    EXPECT_STREQ(g_start.server_address, "10.0.0.1:19800");

    Parsed p = parse({"--", "-odd.skdemo"});
    EXPECT_EQ(p.result, CMDLINE_OK);
    EXPECT_STREQ(g_start.playback_file, "-odd.skdemo");

    p = parse({"--debug", "--super-debug", "--warp", "--fugly", "demo.skdemo", "--hidden-hud"});
    EXPECT_EQ(p.result, CMDLINE_OK);
    EXPECT_EQ(g_start.debug_level, 2);
    EXPECT_EQ(g_start.warp, 1);
    EXPECT_EQ(g_start.flat_shading, 1);
    EXPECT_EQ(g_start.show_hud, 0);
    EXPECT_STREQ(g_start.playback_file, "demo.skdemo");

    p = parse({"--bikes", "40"});
    EXPECT_EQ(p.result, CMDLINE_OK);
    EXPECT_EQ(p.err, "--bikes doesn't do anything anymore\n");

    // Text options given last act as if absent.
    p = parse({"--track"});
    EXPECT_EQ(p.result, CMDLINE_OK);
    EXPECT_EQ(g_start.start_track, nullptr);

    EXPECT_EQ(parse({"--open-home"}).result, CMDLINE_OPEN_HOME);
}

} // namespace
