// The game executable as a process: exit statuses, messages, a headless run and shutdown.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct GameRun {
    int status;      // exit status, or -1 when it did not exit normally
    std::string err; // standard error
};

std::string make_temp_dir() {
    std::string t = std::string(testing::TempDir()) + "skgame.XXXXXX";
    char *d = mkdtemp(&t[0]);
    return d ? std::string(d) : std::string();
}

std::string read_file(const std::string &path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Runs the game with args and environment overrides; sends SIGTERM after kill_after s
// when that is positive.
GameRun run_game(std::vector<std::string> args, std::vector<std::string> env, double kill_after = 0) {
    std::string err_path = make_temp_dir() + "/stderr";
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 2);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        for (std::string &e : env) putenv(&e[0]);
        unsetenv("DISPLAY");
        std::string game = std::string(SK_GAME_DIR) + "/skarvex";
        std::vector<char *> argv = {&game[0]};
        for (std::string &a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execv(game.c_str(), argv.data());
        _exit(127);
    }
    if (kill_after > 0) {
        usleep((useconds_t)(kill_after * 1e6));
        kill(pid, SIGTERM);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    return GameRun{WIFEXITED(st) ? WEXITSTATUS(st) : -1, read_file(err_path)};
}

class GameProcess : public ::testing::Test {
  protected:
    void SetUp() override { home = make_temp_dir(); }
    std::vector<std::string> env() {
        return {"XDG_DATA_HOME=" + home, "VELK_OPTIONS=[video-null:yes][msgbox:off]", "VELK_LOGFILE="};
    }
    std::string log() { return read_file(home + "/Skarvex/lastlog.txt"); }
    std::string home;
};

TEST_F(GameProcess, CommandLineErrorsExitOne) {
    struct Case {
        std::vector<std::string> args;
        const char *err;
    } cases[] = {
        {{"--texture-detail", "x"}, "Bad arg for --texture-detail\n"},
        {{"--bogus"}, "bad option '--bogus'\n"},
        {{"a", "b"}, "Too many files!\n"},
    };
    for (const Case &c : cases) {
        GameRun r = run_game(c.args, env());
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_EQ(r.err, c.err) << c.args[0];
    }
}

TEST_F(GameProcess, HeadlessRunShutsDownInFullOnSigterm) {
    std::string audio = home + "/capture.raw";
    GameRun r = run_game({"--record-audio", audio}, env(), 1.5);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string text = log();
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        count++;
        unsigned h, m, s, cs;
        EXPECT_EQ(sscanf(line.c_str(), "[%u:%2u:%2u.%2u] ", &h, &m, &s, &cs), 4) << line;
    }
    EXPECT_GT(count, 3);
    EXPECT_NE(text.find("VELK 0.31"), std::string::npos);
    size_t dealloc = text.find("Deallocating bikes");
    size_t done = text.find("Finished deallocating bikes");
    size_t window = text.find("Window shutdown complete");
    ASSERT_NE(dealloc, std::string::npos);
    ASSERT_NE(done, std::string::npos);
    ASSERT_NE(window, std::string::npos);
    EXPECT_LT(dealloc, done);
    EXPECT_LT(done, window);
    EXPECT_NE(text.find("Frame histogram:"), std::string::npos);
    // The attract session ran: every tick appended one 1380-byte block of samples.
    struct stat st;
    ASSERT_EQ(stat(audio.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 0);
    EXPECT_EQ(st.st_size % 1380, 0);
}

TEST_F(GameProcess, UnwritableAudioCaptureFails) {
    GameRun r = run_game({"--record-audio", home + "/no/such/dir/a.raw"}, env());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--record-audio"), std::string::npos);
}

TEST_F(GameProcess, MissingOrAlteredGameDataStopsStartUp) {
    std::string install = make_temp_dir();
    std::vector<std::string> e = env();
    e.push_back("SK_HOME=" + install);
    GameRun r = run_game({}, e);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Can't find game data"), std::string::npos);

    std::string archive = read_file(std::string(SK_GAME_DIR) + "/zzzz.saf");
    ASSERT_FALSE(archive.empty());
    archive[archive.size() / 2] ^= 1;
    std::ofstream(install + "/zzzz.saf", std::ios::binary) << archive;
    r = run_game({}, e);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("Can't find game data"), std::string::npos);

    // The real archive but no tracks at all.
    std::ofstream(install + "/zzzz.saf", std::ios::binary)
        << read_file(std::string(SK_GAME_DIR) + "/zzzz.saf");
    r = run_game({}, e);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "No tracks found\n");
}

} // namespace
