// Virtual files: "@" paths over the search folders and ".saf" archives, gzip streams,
// and the read and write calls every loader uses.
#pragma once
#include <cstdarg>
#include <cstddef>

struct VFile; // an open read or write handle; owned by whoever opened it

// Opens a virtual ("@name") or real path. mode is a standard fopen mode; a leading
// "~" first backs up an existing file as "<path>.~N~". Returns 0 on failure.
VFile *vfile_open(const char *path, const char *mode);
void vfile_close(VFile *vf);

int vfile_getc(VFile *vf);                         // next byte 0..255, or -1 at the end
int vfile_peekc(VFile *vf);                        // next byte without taking it, or -1
char *vfile_gets(VFile *vf, char *buf, int n);     // one line, like fgets; 0 at the end
size_t vfile_read(VFile *vf, void *buf, size_t n); // block read; returns bytes delivered
int vfile_seek(VFile *vf, long pos);               // uncompressed handles only; 1 on success
long vfile_tell(VFile *vf);                        // bytes taken so far (the position)
int vfile_scan(VFile *vf, const char *fmt, ...);   // the formatted reader
int vfile_vscan(VFile *vf, const char *fmt, va_list ap);

// Write calls. putc returns the byte or -1; puts, write and flush report 1/0 (write:
// bytes written); printf returns the characters written or -1.
int vfile_putc(VFile *vf, int c);
int vfile_puts(VFile *vf, const char *s);
size_t vfile_write(VFile *vf, const void *data, size_t n);
int vfile_printf(VFile *vf, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
int vfile_flush(VFile *vf);

// Read handle over a caller's buffer, which must outlive it. With compressed set the
// buffer is a gzip stream; 0 when its header is not valid.
VFile *vfile_open_memory(const void *data, size_t n, int compressed);
// Read handle on the bytes [offset, offset + size) of a real file, as an archive member
// is opened; compressed treats them as a gzip stream whose input never runs past them.
VFile *vfile_open_part(const char *container, long long offset, long long size, int compressed);

// Renames; "@" paths are taken below the home folder. 1 on success.
int vfile_rename(const char *from, const char *to);

// The distinct virtual names of the file index, sorted, ended by a null pointer.
const char *const *vfile_list_names();

// Search folder i (0: the home folder), ending in "/", or 0 when there is none.
const char *search_folder(int i);

// Start-up: creates the home folder, names the log and checks "zzzz.saf". 1 on success.
int check_game_data(const char *expected_digest_hex); // 40 hex digits
// Opens the home folder in the desktop's file browser.
int open_home_folder();

// Forgets the search folders and the file index so that the next call rebuilds them
// (the game builds them once; tests and tools that change the folders need this).
void vfile_reset();

// RIPEMD-160 of the first 1,048,576 bytes of a real file (the whole file if shorter),
// as 40 lower-case hex digits plus a NUL in hex. 1 on success.
int data_file_digest(const char *path, char hex[41]);
