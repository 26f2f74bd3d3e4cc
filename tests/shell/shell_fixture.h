// Shared set-up for shell tests: a clean game state, a fake loop clock and a session.
#pragma once
#include "platform/input.h"
#include "race/session.h"
#include "shell/controls.h"
#include "shell/game_options.h"
#include "shell/main_loop.h"
#include "shell/settings.h"

#include <cstring>
#include <gtest/gtest.h>

struct FakeClock {
    static double now;
    static double get() { return now; }
    static void sleep_until(double t) {
        if (t > now) now = t;
    }
};

inline const LoopClock g_fake_clock = {FakeClock::get, FakeClock::sleep_until};

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock::now = 1000.0;
        g_loop_clock = &g_fake_clock;
        g_after_tick = nullptr;
        g_start = StartOptions();
        settings_defaults();
        input_clear_queue();
        input_clear_aliases();
        input_define_fixed_aliases();
        attach_bindings();
        attach_menu_keys();
        memset(&g_controls, 0, sizeof g_controls);
        g_game = GameState();
        g_game.menu_id = -1;
        clear_racer_slots();
        g_session = Session();
        clear_racer_slots();
    }
    void TearDown() override {
        clear_racer_slots();
        g_loop_clock = &g_system_clock;
        g_after_tick = nullptr;
    }
    // A session on a track whose slot 0 is the local rider, viewed, camera mode 0.
    void start_local_session() {
        clear_racer_slots();
        g_session.lineup[0] = 1;
        g_session.lineup[1] = 2;
        reset_session("proving", 0, 0, 5, 0);
        g_game.camera_mode = 0;
    }
    static uint32_t key(const char *name) {
        uint32_t code = 0;
        EXPECT_TRUE(input_code_for_name(name, &code)) << name;
        return code;
    }
};
