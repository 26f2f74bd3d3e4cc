// The one fatal path for allocation failure, and the error message box.
#pragma once

// Shows a modal message box (or, without a window system, prints to standard error).
void error_box(const char *title, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

// Installs the out-of-memory handler for operator new.
void install_fatal_handlers();

// Out of memory: closes the audio device and the window, shows "Out of virtual memory"
// and exits with status 1.
[[noreturn]] void fatal_out_of_memory();

// malloc and realloc that never return null (they go to fatal_out_of_memory).
void *xmalloc(unsigned long n);
void *xrealloc(void *p, unsigned long n);

// Hooks set by the backends that own these resources; each may be null.
struct FatalHooks {
    void (*close_audio)();                                  // audio backend
    void (*close_window)();                                 // window backend
    void (*show_box)(const char *title, const char *text);  // window backend
};
extern FatalHooks g_fatal_hooks;
