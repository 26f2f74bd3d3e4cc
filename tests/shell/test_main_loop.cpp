// Frame timing, ticks per frame, input routing to ticks, gating and control mapping.
#include "bike/bike.h"
#include "net/client.h"
#include "shell/frame_timing.h"
#include "shell_fixture.h"

#include <vector>

double FakeClock::now = 0;

namespace {

// Runs one frame of the given real duration and returns the ticks it ran.
int run_frame(FrameClock *fc, double seconds, const FrameRules &rules) {
    FakeClock::now += seconds;
    long long before = g_game.ticks_run;
    fc->target += measure_frame(fc, &g_fake_clock, &rules);
    run_ticks(fc, FakeClock::now);
    return (int)(g_game.ticks_run - before);
}

TEST_F(ShellTest, FortyMillisecondFramesRunSixThenFiveTicks) {
    FrameClock fc;
    frame_clock_init(&fc, FakeClock::now);
    FrameRules rules = {0, 0, 0};
    EXPECT_EQ(run_frame(&fc, 0.040, rules), 6);
    EXPECT_NEAR(fc.simulated - fc.target, 0.006875, 1e-12);
    EXPECT_EQ(run_frame(&fc, 0.040, rules), 5);
}

TEST_F(ShellTest, FrameWorthRules) {
    struct Case {
        double duration;
        FrameRules rules;
        double worth;
        int ticks;
    } cases[] = {
        {0.500, {0, 0, 0}, 0.125, 16},          // capped
        {0.010, {0, 30, 0}, 1.0 / 30, 5},       // locked: a short frame sleeps up to 1/30 s
        {0.100, {0, 30, 0}, 1.0 / 30, 5},       // locked: a long frame is still worth 1/30 s
        {0.010, {0, 0, 1}, 100 * 0.0078125, 100}, // warp
        {0.010, {1, 30, 1}, 0.010, 2},          // online ignores lock and warp
        {0.001, {0, 0, 0}, 0.0078125, 1},       // shorter than a tick: sleeps to one tick
    };
    for (const Case &c : cases) {
        FrameClock fc;
        frame_clock_init(&fc, FakeClock::now);
        FakeClock::now += c.duration;
        double start = fc.previous;
        double worth = measure_frame(&fc, &g_fake_clock, &c.rules);
        EXPECT_NEAR(worth, c.worth, 1e-9) << c.duration;
        EXPECT_GE(FakeClock::now - start, std::min(c.duration, c.worth) - 1e-9);
        fc.target += worth;
        long long before = g_game.ticks_run;
        run_ticks(&fc, FakeClock::now);
        EXPECT_EQ(g_game.ticks_run - before, c.ticks) << c.duration;
    }
}

TEST_F(ShellTest, LockedFramesKeepTheirPace) {
    FrameClock fc;
    frame_clock_init(&fc, FakeClock::now);
    FrameRules rules = {0, 30, 0};
    double start = FakeClock::now;
    for (int i = 0; i < 30; i++) {
        FakeClock::now += 0.002; // drawing took 2 ms
        measure_frame(&fc, &g_fake_clock, &rules);
    }
    EXPECT_NEAR(FakeClock::now - start, 1.0, 1e-9);
}

TEST_F(ShellTest, HistogramBinsFrameDurations) {
    FrameClock fc;
    frame_clock_init(&fc, FakeClock::now);
    FrameRules rules = {0, 0, 0};
    double durations[] = {0.008, 0.020, 0.020, 0.9};
    for (double d : durations) {
        FakeClock::now += d;
        measure_frame(&fc, &g_fake_clock, &rules);
    }
    EXPECT_EQ(fc.histogram[1], 1u); // 8 ms < 2 ticks
    EXPECT_EQ(fc.histogram[2], 2u); // 20 ms < 4 ticks
    EXPECT_EQ(fc.histogram[7], 1u);
    EXPECT_NEAR(fc.shortest, 0.008, 1e-9);
    EXPECT_NEAR(fc.longest, 0.125, 1e-9);
}

TEST(OnlineScaling, TracksTheServerClock) {
    EXPECT_DOUBLE_EQ(scale_online_worth(0.01, 1.0, 1), 0.01 * 1.125);
    EXPECT_DOUBLE_EQ(scale_online_worth(0.01, 0.0625, 1), 0.01 * (1 + 0.125 * 0.5));
    EXPECT_DOUBLE_EQ(scale_online_worth(0.01, 2.0, 0), 0.04);
    EXPECT_DOUBLE_EQ(scale_online_worth(0.01, -0.5, 1), 0.01 * 0.75);
    EXPECT_DOUBLE_EQ(scale_online_worth(0.01, -3, 0), 0.005);
}

std::vector<float> g_throttle_by_tick;
void watch_throttle() { g_throttle_by_tick.push_back(g_controls.value[CTRL_THROTTLE]); }

TEST_F(ShellTest, PressAndReleaseInOneFrameReachTwoTicks) {
    start_local_session();
    FrameClock fc;
    frame_clock_init(&fc, FakeClock::now);
    uint32_t throttle = key("x");
    double frame_start = FakeClock::now;
    input_add_event(throttle, 1, frame_start + 0.003);
    input_add_event(throttle, 0, frame_start + 0.012);
    g_throttle_by_tick.clear();
    g_after_tick = watch_throttle;
    FrameRules rules = {0, 0, 0};
    ASSERT_EQ(run_frame(&fc, 0.040, rules), 6);
    // Tick 1 stands for 7.8 ms after the frame start, tick 2 for 15.6 ms.
    ASSERT_EQ(g_throttle_by_tick.size(), 6u);
    EXPECT_EQ(g_throttle_by_tick[0], 1.0f);
    EXPECT_EQ(g_throttle_by_tick[1], 0.0f);
    EXPECT_EQ(g_session.bike[0]->throttle, 0.0f);
}

TEST_F(ShellTest, GatingDecidesWhetherTheWorldTicks) {
    struct Case {
        int menu;        // menu id
        int paused;
        int view_robot;  // view slot 1 (a robot) instead of the local rider
        int online;
        int world_ticks; // expected
    } cases[] = {
        {-1, 0, 0, 0, 1}, {0, 0, 0, 0, 0}, {0, 0, 1, 0, 1}, {-1, 1, 0, 0, 0},
        {0, 0, 0, 1, 0},  // online but the server clock is not running yet
        {-1, 1, 1, 0, 0},
    };
    for (const Case &c : cases) {
        start_local_session();
        g_game.menu_id = c.menu;
        g_game.paused = c.paused;
        g_session.viewed_racer = c.view_robot ? 1 : 0;
        g_start.server_address = c.online ? "server" : nullptr;
        int before = g_session.tick;
        run_tick(FakeClock::now, FakeClock::now);
        EXPECT_EQ(g_session.tick - before, c.world_ticks)
            << "menu " << c.menu << " paused " << c.paused << " robot " << c.view_robot
            << " online " << c.online;
        if (c.online) {
            EXPECT_EQ(g_game.paused, 0) << "online play cannot pause";
        }
    }
    g_start.server_address = nullptr;
}

TEST_F(ShellTest, NoTrackMeansTitleViewAndNoWorldTick) {
    g_game.camera_mode = 0;
    run_tick(FakeClock::now, FakeClock::now);
    EXPECT_EQ(g_game.camera_mode, 5);
    EXPECT_EQ(g_session.tick, 0);
}

TEST_F(ShellTest, PauseStepAndEscape) {
    start_local_session();
    double t = FakeClock::now;
    input_add_event(key("pause"), 1, t);
    run_tick(t, t);
    EXPECT_EQ(g_game.paused, 1);
    int ticks = g_session.tick;
    input_add_event(key("."), 1, t);
    run_tick(t, t);
    EXPECT_EQ(g_session.tick, ticks + 1); // the Step key ran one world tick while paused

    input_add_event(key("esc"), 1, t);
    run_tick(t, t);
    EXPECT_EQ(g_game.menu_id, 0);
    input_add_event(key("esc"), 1, t);
    run_tick(t, t);
    EXPECT_EQ(g_game.menu_id, -1);

    g_start.server_address = "server";
    g_game.paused = 0;
    input_add_event(key("pause"), 1, t);
    run_tick(t, t);
    EXPECT_EQ(g_game.paused, 0);
    g_start.server_address = nullptr;
}

TEST_F(ShellTest, CloseRequestQuits) {
    input_add_event(CODE_CLOSE, 1, FakeClock::now);
    run_tick(FakeClock::now, FakeClock::now);
    EXPECT_EQ(g_game.quit, 1);
}

// Runs one tick with the given key held or released first.
void tick_with(uint32_t code, int pressed) {
    if (code) input_add_event(code, pressed, FakeClock::now);
    run_tick(FakeClock::now, FakeClock::now);
}

TEST_F(ShellTest, ClutchLeverReleaseRampsOverAQuarterSecond) {
    start_local_session();
    Bike *bike = g_session.bike[0];
    uint32_t clutch = key("z");
    tick_with(clutch, 1);
    EXPECT_EQ(bike->clutch, 0.0f); // pulling in is immediate
    tick_with(clutch, 0);
    int ticks = 1;
    while (bike->clutch < 1.0f && ticks < 100) {
        tick_with(0, 0);
        ticks++;
    }
    EXPECT_EQ(ticks, 32);
}

TEST_F(ShellTest, StickySitTogglesOnEachPress) {
    start_local_session();
    g_settings.sticky_dab = 1;
    Bike *bike = g_session.bike[0];
    uint32_t dab = key("right ctrl");
    tick_with(dab, 1);
    EXPECT_EQ(bike->sit, 1.0f);
    tick_with(dab, 0);
    EXPECT_EQ(bike->sit, 1.0f);
    tick_with(dab, 1);
    EXPECT_EQ(bike->sit, 0.0f);
    g_settings.sticky_dab = 0;
    tick_with(0, 0); // still held: plain sit follows the key
    EXPECT_EQ(bike->sit, 1.0f);
}

TEST_F(ShellTest, ShiftActsOncePerPressAndSteeringIsReversed) {
    start_local_session();
    Bike *bike = g_session.bike[0];
    int gear = bike->gear;
    tick_with(key("up"), 1);
    tick_with(0, 0);
    tick_with(0, 0);
    EXPECT_EQ(bike->gear, gear + 1);
    tick_with(key("up"), 0);
    tick_with(key("down"), 1);
    EXPECT_EQ(bike->gear, gear);

    tick_with(key("left"), 1);
    EXPECT_EQ(bike->steer, -1.0f); // Reversed Steering defaults to Yes
    g_settings.reverse_steering = 0;
    tick_with(0, 0);
    EXPECT_EQ(bike->steer, 1.0f);
    tick_with(key("right"), 1); // both held: they cancel
    EXPECT_EQ(bike->steer, 0.0f);
}

TEST_F(ShellTest, DefaultBindingsLandOnTheirKeys) {
    // Lean Forward is "n" and Lean Backward "m": set-1 codes 49 and 50.
    EXPECT_EQ(key("n"), CODE_KEY + 49u);
    EXPECT_EQ(key("m"), CODE_KEY + 50u);
    start_local_session();
    tick_with(key("m"), 1);
    EXPECT_EQ(g_session.bike[0]->lean, 1.0f);
}

TEST_F(ShellTest, VolumeFactorFollowsMenusAndPause) {
    start_local_session();
    g_settings.volume = 10;
    EXPECT_FLOAT_EQ(frame_volume_factor(), 1.0f);
    g_game.menu_id = 0;
    EXPECT_FLOAT_EQ(frame_volume_factor(), 0.0f);
    g_session.viewed_racer = 1;
    EXPECT_FLOAT_EQ(frame_volume_factor(), 0.25f);
    g_game.paused = 1;
    EXPECT_FLOAT_EQ(frame_volume_factor(), 0.0f);
}

} // namespace

namespace {

TEST_F(ShellTest, BindingCaptureTakesAKeyOrCancels) {
    Binding &b = g_settings.bindings[BIND_THROTTLE];
    start_binding_capture(&b, nullptr);
    tick_with(0x1000 + 0x1ff, 1); // a key with no table name is stored as its hex name
    EXPECT_STREQ(b.key_name, "0x1ff");
    EXPECT_EQ(g_game.capture, nullptr);

    start_binding_capture(&b, nullptr);
    tick_with(key("esc"), 1);
    EXPECT_EQ(g_game.capture, nullptr);
    EXPECT_STREQ(b.key_name, "0x1ff");
    EXPECT_EQ(g_game.menu_id, -1) << "the cancelling Esc opens no menu";

    start_binding_capture(&b, nullptr);
    tick_with(key("q"), 1);
    EXPECT_STREQ(b.key_name, "Q");
    EXPECT_EQ(b.key_code, key("q"));
}

TEST_F(ShellTest, BindingCaptureTakesTheAxisMovedPastHalfway) {
    const char *axes[] = {"cursor.axis[0]", "cursor.axis[1]", nullptr};
    Binding &b = g_settings.bindings[BIND_CLUTCH];
    input_set_cursor(0, 0);
    start_binding_capture(&b, axes);
    input_set_cursor(100, -15000); // both under half travel
    tick_with(0, 0);
    ASSERT_EQ(g_game.capture, &b);
    input_set_cursor(17000, -20000);
    tick_with(0, 0);
    EXPECT_EQ(g_game.capture, nullptr);
    EXPECT_STREQ(b.axis_name, "cursor.axis[1]");
    EXPECT_EQ(b.key_name, nullptr);
    EXPECT_FLOAT_EQ(b.axis_min, -0.0625f);
    EXPECT_FLOAT_EQ(b.axis_max, -0.9375f);
    // The new axis now drives the clutch control: raw -16384 is (-0.5 + 0.0625) / -0.875.
    input_set_cursor(0, -16384);
    tick_with(0, 0);
    EXPECT_FLOAT_EQ(g_controls.value[CTRL_CLUTCH], 0.5f);
    release_bindings();
}

} // namespace
