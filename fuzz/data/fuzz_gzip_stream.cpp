// Fuzz target: any bytes as a gzip stream, read with a mix of byte, line, block and
// formatted reads, both whole and with the stream's input bounded as for a member.
#include "data/vfile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static void read_through(VFile *vf, const uint8_t *data, size_t size) {
    if (!vf) return;
    char buf[700];
    size_t total = 0;
    for (size_t round = 0; total < (256u << 10); round++) {
        int pick = size ? data[round % size] % 4 : 0;
        if (pick == 0) {
            int c = vfile_getc(vf);
            if (c < -1 || c > 255) abort();
            if (c < 0) break;
            total++;
        } else if (pick == 1) {
            size_t n = vfile_read(vf, buf, sizeof buf);
            if (n > sizeof buf) abort();
            if (n == 0) break;
            total += n;
        } else if (pick == 2) {
            if (!vfile_gets(vf, buf, (int)sizeof buf)) break;
            if (strlen(buf) >= sizeof buf) abort();
            total += strlen(buf) + 1;
        } else {
            int d;
            long before = vfile_tell(vf);
            if (vfile_scan(vf, " %d", &d) < 0) break;
            if (vfile_tell(vf) == before && vfile_getc(vf) < 0) break; // step past a non-digit
            total++;
        }
    }
    if (vfile_seek(vf, 0)) abort(); // compressed handles never seek
    vfile_close(vf);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    read_through(vfile_open_memory(data, size, 1), data, size);
    // With the common header in front, so that mutations reach the deflate data.
    static const uint8_t kHeader[10] = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3};
    uint8_t *framed = (uint8_t *)malloc(size + 10);
    memcpy(framed, kHeader, 10);
    if (size) memcpy(framed + 10, data, size);
    read_through(vfile_open_memory(framed, size + 10, 1), data, size);
    free(framed);
    return 0;
}
