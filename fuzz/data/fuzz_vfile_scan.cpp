// Fuzz target: vfile_scan over any input, with the game's own formats and with formats
// taken from the input whose conversions are all suppressed (so they take no targets).
#include "data/vfile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

static const char *const kFormats[] = {
    "%d",
    "%f",
    "%d %d",
    "%d %d %d %d",
    " %d ",
    "%d ",
    " %1023s ",
    "%15s",
    " %80s ",
    "%f %1023s",
    "%d %1023s",
    " [ %f %f %f ] %f %f ",
    "[ %f %f ] %f %f %f %1023s ",
    "%f [ %f %f %f ] [ %f %f %f ] ",
    " %1[#]%*[^\n]",
    " \"%1023[^\"]\"",
    "%i %o %x %hd %n",
    "%lf %Lf %3c %[a-z0-9] %%",
};

// Targets big enough for any conversion of the formats above.
union Target {
    int i;
    short h;
    float f;
    double d;
    long double ld;
    char s[1100];
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    static Target t[12];
    int mode = data[0];
    data++;
    size--;
    std::string format;
    if (mode & 128) {
        // A format from the input up to its first NUL, every "%" made suppressing.
        const uint8_t *nul = (const uint8_t *)memchr(data, 0, size);
        size_t n = nul ? (size_t)(nul - data) : size;
        for (size_t k = 0; k < n; k++) {
            format += (char)data[k];
            if (data[k] == '%') format += '*';
        }
        if (nul) n++;
        data += n;
        size -= n;
    } else {
        format = kFormats[mode % (sizeof kFormats / sizeof kFormats[0])];
    }
    VFile *vf = vfile_open_memory(data, size, mode & 64);
    if (!vf) return 0;
    for (int round = 0; round < 10000; round++) {
        long before = vfile_tell(vf);
        int n = vfile_scan(vf, format.c_str(), &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &t[6],
                           &t[7], &t[8], &t[9], &t[10], &t[11]);
        if (n < -1 || n > 12) abort();
        if (vfile_tell(vf) < before) abort();
        // Without progress, step past what stopped the scan, or end at the end of input.
        if (vfile_tell(vf) == before && vfile_getc(vf) < 0) break;
    }
    vfile_close(vf);
    return 0;
}
