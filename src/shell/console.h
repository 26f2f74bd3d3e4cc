// The message log: status lines for the log file and the on-screen ring.
#pragma once

enum { MESSAGE_LINES = 1000, MESSAGE_CHARS = 127, MESSAGE_VISIBLE = 5 };

struct MessageLog {
    char lines[MESSAGE_LINES][MESSAGE_CHARS + 1]; // ring of the last lines posted
    int next;                                     // ring slot for the next line
    int count;                                    // lines posted, at most MESSAGE_LINES
    double visible_until;                         // wall-clock time the overlay stays up
    double wall;                                  // the loop's wall clock, advanced per frame
};

extern MessageLog g_messages;

// Writes one status line to the log and to the ring; keeps the last lines visible 2 s.
void post_message(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void clear_messages();
// Advances the visible-line timer to the loop's wall clock.
void advance_message_timer(double wall);
// The i-th most recent line (0 = newest), or 0.
const char *message_line(int i);
