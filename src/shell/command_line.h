// The command-line option table and its matcher.
#pragma once
#include <cstdio>

struct ArgCursor {
    int remaining;      // arguments left
    char **next;        // the next argument
    int end_of_options; // "--" has been seen
};

// Matches the next argument against an option. Flag options (value == 0) match only
// the exact text. Value options take the next argument, or the text after "name=";
// an argument "--" sets the end flag and is consumed. A value option given last
// matches with *value set to 0. Returns 1 when the option matched.
int match_option(ArgCursor *args, const char *name, const char **value);

enum CommandLineResult {
    CMDLINE_ERROR = 0, // a message went to err; the program exits 1
    CMDLINE_OK = 1,
    CMDLINE_OPEN_HOME = 2, // --open-home: open the folder and exit 0
};

// Parses argv[1..] into g_start, g_tuning and the settings. Messages go to err.
CommandLineResult parse_command_line(int argc, char **argv, FILE *err);
