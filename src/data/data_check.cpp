// Start-up services on the search folders: the "zzzz.saf" check that also names the log,
// and opening the home folder in the desktop's file browser.
#include "data/ripemd160.h"
#include "data/vfile_internal.h"
#include "platform/log.h"

#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

// Bytes of "zzzz.saf" covered by the check.
const long kCheckedBytes = 1048576;

int data_file_digest(const char *path, char hex[41]) {
    FILE *f = fopen(path, "rb");
    if (!f) return 0;
    Ripemd160 ctx;
    ripemd160_init(&ctx);
    uint8_t piece[256];
    long total = 0;
    size_t got;
    while (total < kCheckedBytes && (got = fread(piece, 1, sizeof piece, f)) > 0) {
        ripemd160_update(&ctx, piece, got);
        total += (long)got;
    }
    int ok = !ferror(f);
    fclose(f);
    uint8_t digest[20];
    ripemd160_final(&ctx, digest);
    for (int i = 0; i < 20; i++) snprintf(hex + 2 * i, 3, "%02x", digest[i]);
    return ok;
}

static int hex_value(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int check_game_data(const char *expected_digest_hex) {
    if (!expected_digest_hex || strlen(expected_digest_hex) != 40) return 0;
    char expected[41];
    for (int i = 0; i < 40; i++) {
        int v = hex_value((unsigned char)expected_digest_hex[i]);
        if (v < 0) return 0;
        expected[i] = "0123456789abcdef"[v];
    }
    expected[40] = 0;
    const char *home = search_folder(0);
    if (home) {
        make_parent_folders(home);
        log_printf("VELK_LOGFILE=%slastlog.txt\n", home);
    }
    for (int i = 0; search_folder(i); i++) {
        std::string path = std::string(search_folder(i)) + "zzzz.saf";
        char hex[41];
        if (data_file_digest(path.c_str(), hex) && !strcmp(hex, expected)) return 1;
    }
    return 0;
}

int open_home_folder() {
    const char *home = search_folder(0);
    if (!home) return 0;
    make_parent_folders(home);
    std::string folder = home;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    char program[] = "xdg-open";
    char *argv[] = {program, &folder[0], nullptr};
    // The opener may run as long as the file browser does: a short-lived middle process
    // starts it, so it is never our child to reap and the game does not wait for it.
    pid_t middle = fork();
    if (middle < 0) return 0;
    if (middle == 0) {
        pid_t opener;
        int rc = posix_spawnp(&opener, program, nullptr, nullptr, argv, environ);
        _exit(rc == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(middle, &status, 0) < 0)
        if (errno != EINTR) return 0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
