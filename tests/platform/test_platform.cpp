// The log, the environment options, key names and the event queue.
#include "platform/input.h"
#include "platform/log.h"
#include "platform/window.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

std::string read_file(const std::string &path) {
    std::ifstream f(path);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string temp_path(const char *name) {
    return std::string(testing::TempDir()) + "sk_" + std::to_string(getpid()) + "_" + name;
}

TEST(LogStamp, HoursMinutesSecondsHundredths) {
    char buf[32];
    log_format_stamp(buf, ((3ull * 60 + 4) * 60 + 5) * 1000 + 678);
    EXPECT_STREQ(buf, "[3:04:05.67] ");
    log_format_stamp(buf, 0);
    EXPECT_STREQ(buf, "[0:00:00.00] ");
}

TEST(Log, FirstMessageNamesTheFileAndEveryLineIsStamped) {
    std::string path = temp_path("lastlog.txt");
    unsetenv("VELK_LOGFILE");
    log_close();
    log_printf("VELK_LOGFILE=%s", path.c_str());
    log_printf("hello %d\n", 7);
    log_error("broken");
    log_close();
    std::string text = read_file(path);
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        count++;
        unsigned h, m, s, cs;
        char close;
        EXPECT_EQ(sscanf(line.c_str(), "[%u:%2u:%2u.%2u%c", &h, &m, &s, &cs, &close), 5) << line;
        EXPECT_EQ(close, ']');
    }
    EXPECT_EQ(count, 4);
    EXPECT_NE(text.find("] Logfile \"" + path + "\" opened\n"), std::string::npos);
    EXPECT_NE(text.find("] VELK 0.31\n"), std::string::npos);
    EXPECT_NE(text.find("] hello 7\n"), std::string::npos);
    EXPECT_NE(text.find("] Error: broken\n"), std::string::npos);
    EXPECT_EQ(text.find("VELK_LOGFILE="), std::string::npos);
    EXPECT_STREQ(last_error_text(), "broken");
    remove(path.c_str());
}

TEST(Log, EnvironmentNameWithAppendMarker) {
    std::string path = temp_path("append.txt");
    { std::ofstream f(path); f << "old line\n"; }
    setenv("VELK_LOGFILE", (">>" + path).c_str(), 1);
    log_close();
    log_printf("first message\n");
    log_close();
    unsetenv("VELK_LOGFILE");
    std::string text = read_file(path);
    EXPECT_EQ(text.rfind("old line\n", 0), 0u);
    EXPECT_NE(text.find("] first message\n"), std::string::npos);
    remove(path.c_str());
}

TEST(Options, FlagsAndIntegers) {
    setenv("VELK_OPTIONS", "[threaded:maybe][sound-rate:44100][dsnd:off][waveout:yes][a:on]"
                           "[bad-int:fast][last:123", 1);
    options_reload();
    EXPECT_EQ(option_flag("threaded", 0), 0);
    EXPECT_EQ(option_flag("threaded", 1), 1);
    EXPECT_EQ(option_flag("dsnd", 1), 0);
    EXPECT_EQ(option_flag("waveout", 0), 1);
    EXPECT_EQ(option_flag("a", 0), 1);
    EXPECT_EQ(option_flag("absent", 1), 1);
    EXPECT_EQ(option_int("sound-rate", 22050), 44100);
    EXPECT_EQ(option_int("bad-int", 22050), 22050);
    EXPECT_EQ(option_int("last", 0), 123);
    unsetenv("VELK_OPTIONS");
    options_reload();
}

TEST(KeyNames, ExactLooseAndHexNames) {
    struct Case {
        const char *name;
        int known;
        uint32_t code;
    } cases[] = {
        {"Space", 1, CODE_KEY + 57}, {"space", 1, CODE_KEY + 57}, {"SPACE", 1, CODE_KEY + 57},
        {" ", 1, CODE_KEY + 57},     {"left_ctrl", 1, CODE_KEY + 29}, {"right ctrl", 1, CODE_KEY + 285},
        {"0x1d", 1, CODE_KEY + 29},  {"0x200", 0, 0},              {"N", 1, CODE_KEY + 49},
        {"M", 1, CODE_KEY + 50},     {"Mouse Left", 1, CODE_MOUSE_LEFT}, {"Close", 1, CODE_CLOSE},
        {"\\", 1, CODE_KEY + 43},    {"F10", 1, CODE_KEY + 68},    {"nosuchkey", 0, 0},
    };
    input_clear_aliases();
    input_define_fixed_aliases();
    for (const Case &c : cases) {
        uint32_t code = 0;
        EXPECT_EQ(input_code_for_name(c.name, &code), c.known) << c.name;
        if (c.known) {
            EXPECT_EQ(code, c.code) << c.name;
        }
    }
    uint32_t code;
    ASSERT_TRUE(input_code_for_name("cursor-left", &code));
    EXPECT_EQ(code, (uint32_t)CODE_MOUSE_LEFT);
    EXPECT_STREQ(input_name_for_code(CODE_KEY + 49), "N");
    EXPECT_STREQ(input_name_for_code(CODE_KEY + 0x1ff), "0x1ff");
    EXPECT_EQ(input_name_for_code(65), nullptr);
    EXPECT_EQ(g_key_table_count, 98);
}

TEST(Aliases, SecondDefinitionIsIgnored) {
    input_clear_aliases();
    input_add_alias("fire", "Space");
    input_add_alias("fire", "Enter");
    uint32_t code;
    ASSERT_TRUE(input_code_for_name("fire", &code));
    EXPECT_EQ(code, CODE_KEY + 57u);
    input_clear_aliases();
}

TEST(EventQueue, OrderedByTimeBoundedAndFull) {
    input_clear_queue();
    input_add_event(1, 1, 3.0);
    input_add_event(2, 1, 1.0);
    input_add_event(3, 0, 2.0);
    uint32_t code;
    int pressed;
    double t;
    EXPECT_EQ(input_next_event_until(&code, &pressed, 0.5), 0);
    ASSERT_EQ(input_next_event_until(&code, &pressed, 2.0), 1);
    EXPECT_EQ(code, 2u);
    ASSERT_EQ(input_next_event_until(&code, &pressed, 2.0), 1);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(input_next_event_until(&code, &pressed, 2.0), 0);
    ASSERT_EQ(input_next_event(&code, &pressed, &t), 1);
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(t, 3.0);
    EXPECT_EQ(input_next_event(&code, &pressed, &t), 0);

    for (int i = 0; i < 300; i++) input_add_event((uint32_t)i, 1, i);
    EXPECT_EQ(input_queue_count(), INPUT_QUEUE_SIZE);
    for (int i = 0; i < INPUT_QUEUE_SIZE; i++) {
        ASSERT_EQ(input_next_event(&code, &pressed, &t), 1);
        EXPECT_EQ(code, (uint32_t)i);
    }
}

TEST(CursorAxes, OpenReadAndRefuse) {
    input_clear_aliases();
    input_define_fixed_aliases();
    AxisHandle *x = input_open_axis("cursor-x");
    AxisHandle *y = input_open_axis("cursor axis 1");
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(input_open_axis("cursor.axis[2]"), nullptr);
    EXPECT_EQ(input_open_axis("Joystick1.axis[0]"), nullptr);
    input_set_cursor(12, 34);
    EXPECT_EQ(input_read_axis(x), 12);
    EXPECT_EQ(input_read_axis(y), 34);
    input_close_axis(x);
    input_close_axis(y);
}

TEST(FullscreenModes, SmallestModeThatFits) {
    DisplayMode modes[] = {{1280, 720, 32}, {1024, 768, 32}, {1920, 1080, 32}, {0, 0, 0}};
    const DisplayMode *m = choose_fullscreen_mode(modes, 1000, 700);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->width, 1024);
    EXPECT_EQ(choose_fullscreen_mode(modes, 4000, 3000), nullptr);
    EXPECT_EQ(choose_fullscreen_mode(modes, 0, 0), nullptr);
    EXPECT_EQ(choose_fullscreen_mode(modes, 1280, 720)->width, 1280);
}

} // namespace
