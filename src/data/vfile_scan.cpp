// vfile_scan: the scanf-like reader of every text loader, reading through the VFile
// lookahead so that it mixes freely with byte, line and block reads.
#include "data/vfile_internal.h"

#include <cstdarg>
#include <cstring>

// Field width when none is given.
const int kNoWidth = 1000000;
// Mantissa digits beyond this value only move the decimal point, so the accumulator
// stays finite however many digits there are.
const long double kMantissaCap = 1e4900L;
// Exponent digits stop adding once the exponent is far beyond any finite result.
const long long kExponentCap = 100000;

// The input side of one call: the handle and the count of bytes taken during the call.
struct ScanInput {
    VFile *vf;
    int taken;
};

static int is_space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

static inline int peek(ScanInput *in) {
    return vfile_peekc(in->vf);
}

static inline void take(ScanInput *in) {
    vfile_getc(in->vf);
    in->taken++;
}

// Skips white space; 0 when the input ends.
static int skip_space(ScanInput *in) {
    int c;
    while ((c = peek(in)) >= 0 && is_space(c)) take(in);
    return c >= 0;
}

static int digit_value(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// m x 10^e, building the power from the largest factor down.
static long double scale_decimal(long double m, long long e) {
    static const long double kPowers[12] = {1e1L,  1e2L,   1e4L,   1e8L,   1e16L,   1e32L,
                                            1e64L, 1e128L, 1e256L, 1e512L, 1e1024L, 1e2048L};
    if (m == 0) return m; // zero stays zero whatever the exponent (no 0 x infinity)
    long long a = e < 0 ? -e : e;
    long double p = 1;
    while (a > 4095 && p < 1e4096L) {
        p *= 1e4096L;
        a -= 4096;
    }
    if (a > 4095) a = 4095; // p is already infinite
    for (int bit = 11; bit >= 0; bit--)
        if (a & (1LL << bit)) p *= kPowers[bit];
    return e >= 0 ? m * p : m * (1 / p);
}

// Integer conversions: base 10, 0 (detect), 8 or 16. Returns 1 when a number was read.
static int scan_integer(ScanInput *in, int base, int width, uint32_t *value) {
    int negative = 0, digits = 0, c = peek(in);
    if (c == '-' || c == '+') {
        negative = c == '-';
        take(in);
        width--;
    }
    if (base == 0) {
        base = 10;
        c = peek(in);
        if (width > 0 && c == '0') {
            take(in);
            width--;
            digits = 1;
            base = 8;
            c = peek(in);
            if (width > 0 && (c == 'x' || c == 'X')) {
                take(in);
                width--;
                digits = 0;
                base = 16;
            }
        }
    }
    uint32_t v = 0;
    for (; width > 0; width--) {
        c = peek(in);
        int d = c < 0 ? 99 : digit_value(c);
        if (d >= base) break;
        take(in);
        v = v * (uint32_t)base + (uint32_t)d;
        digits++;
    }
    if (!digits) return 0;
    *value = negative ? 0u - v : v;
    return 1;
}

// The float conversion. Returns 1 when a number was read.
static int scan_float(ScanInput *in, int width, long double *value) {
    int negative = 0, any = 0, dot = 0, c = peek(in);
    if (c == '-' || c == '+') {
        negative = c == '-';
        take(in);
    }
    long double m = 0;
    long long e = 0;
    for (; width > 0; width--) {
        c = peek(in);
        if (c >= '0' && c <= '9') {
            if (m < kMantissaCap) {
                m = m * 10 + (c - '0');
                if (dot) e--;
            } else if (!dot) {
                e++;
            }
        } else if (c == '.' && !dot) {
            dot = 1;
        } else {
            break;
        }
        take(in);
        any = 1;
    }
    c = peek(in);
    if (width > 0 && (c == 'e' || c == 'E')) {
        take(in);
        width--;
        int exp_negative = 0;
        c = peek(in);
        if (width > 0 && (c == '-' || c == '+')) {
            exp_negative = c == '-';
            take(in);
            width--;
        }
        long long x = 0;
        for (; width > 0 && (c = peek(in)) >= '0' && c <= '9'; width--) {
            take(in);
            x = x * 10 + (c - '0');
            if (x > kExponentCap) x = kExponentCap;
        }
        e += exp_negative ? -x : x;
    }
    if (!any) return 0;
    long double v = scale_decimal(m, e);
    *value = negative ? -v : v;
    return 1;
}

// Parses the set of a "%[" directive starting after the "["; returns the position after
// its closing "]", or 0 when the format ends first.
static const unsigned char *scan_set(const unsigned char *f, unsigned char member[256]) {
    int negate = 0;
    if (*f == '^') {
        negate = 1;
        f++;
    }
    unsigned char in[256] = {0};
    if (*f == ']') {
        in[(unsigned char)']'] = 1;
        f++;
    }
    while (*f && *f != ']') {
        if (f[1] == '-' && f[2] && f[2] != ']') {
            int lo = f[0], hi = f[2];
            if (lo <= hi) {
                for (int c = lo; c <= hi; c++) in[c] = 1;
            } else {
                in[lo] = in[(unsigned char)'-'] = in[hi] = 1;
            }
            f += 3;
        } else {
            in[*f++] = 1;
        }
    }
    if (!*f) return nullptr;
    for (int c = 0; c < 256; c++) member[c] = in[c] != negate;
    return f + 1;
}

int vfile_vscan(VFile *vf, const char *fmt, va_list ap) {
    ScanInput input = {vf, 0};
    ScanInput *in = &input;
    int count = 0;
    // A conversion that meets the end before taking anything.
    const int at_end = -2;
    const unsigned char *f = (const unsigned char *)fmt;
    while (*f) {
        if (is_space(*f)) {
            skip_space(in);
            f++;
            continue;
        }
        if (*f != '%') {
            if (peek(in) != *f) return -1;
            take(in);
            f++;
            continue;
        }
        f++;
        int width = 0, suppress = 0, half = 0, longs = 0;
        for (;; f++) {
            if (*f >= '0' && *f <= '9') {
                width = width * 10 + (*f - '0');
                if (width > kNoWidth) width = kNoWidth;
            } else if (*f == '*') {
                suppress = 1;
            } else if (*f == 'h') {
                half = 1;
            } else if (*f == 'l') {
                longs++;
            } else if (*f == 'L' || *f == 'q') {
                longs = 2;
            } else {
                break;
            }
        }
        int given_width = width;
        if (width == 0) width = kNoWidth;
        int conversion = *f;
        if (!conversion) return count;
        f++;
        int result = 1; // 1 assigned, 0 matching failure, at_end
        switch (conversion) {
        case '%':
            if (peek(in) != '%') return -1;
            take(in);
            continue;
        case 'd':
        case 'i':
        case 'o':
        case 'x':
        case 'X': {
            if (!skip_space(in)) {
                result = at_end;
                break;
            }
            int base = conversion == 'd' ? 10 : conversion == 'i' ? 0 : conversion == 'o' ? 8 : 16;
            uint32_t v;
            if (!scan_integer(in, base, width, &v)) {
                result = 0;
            } else if (!suppress) {
                if (half)
                    *va_arg(ap, short *) = (short)(uint16_t)v;
                else
                    *va_arg(ap, int *) = (int)v;
            }
            break;
        }
        case 'f': {
            if (!skip_space(in)) {
                result = at_end;
                break;
            }
            long double v;
            if (!scan_float(in, width, &v)) {
                result = 0;
            } else if (!suppress) {
                if (longs >= 2)
                    *va_arg(ap, long double *) = v;
                else if (longs == 1)
                    *va_arg(ap, double *) = (double)v;
                else
                    *va_arg(ap, float *) = (float)v;
            }
            break;
        }
        case 's': {
            if (!skip_space(in)) {
                result = at_end;
                break;
            }
            char *out = suppress ? nullptr : va_arg(ap, char *);
            int n = 0, c;
            for (; n < width && (c = peek(in)) >= 0 && !is_space(c); n++) {
                take(in);
                if (out) out[n] = (char)c;
            }
            if (out) out[n] = 0;
            break;
        }
        case 'c': {
            char *out = suppress ? nullptr : va_arg(ap, char *);
            int n = given_width ? given_width : 1;
            for (int k = 0; k < n; k++) {
                int c = peek(in);
                if (c < 0) return count > 0 ? count : -1;
                take(in);
                if (out) out[k] = (char)c;
            }
            break;
        }
        case '[': {
            unsigned char member[256];
            f = scan_set(f, member);
            if (!f) return count;
            char *out = suppress ? nullptr : va_arg(ap, char *);
            int n = 0, c = peek(in);
            if (c < 0) {
                result = at_end;
                break;
            }
            for (; n < width && (c = peek(in)) >= 0 && member[c]; n++) {
                take(in);
                if (out) out[n] = (char)c;
            }
            if (n == 0) {
                result = 0;
                break;
            }
            if (out) out[n] = 0;
            break;
        }
        case 'n':
            if (!suppress) {
                if (half)
                    *va_arg(ap, short *) = (short)in->taken;
                else
                    *va_arg(ap, int *) = in->taken;
            }
            continue;
        default:
            return count;
        }
        if (result == at_end) return count > 0 ? count : -1;
        if (result == 0) return count;
        if (!suppress) count++;
    }
    return count;
}

int vfile_scan(VFile *vf, const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int n = vfile_vscan(vf, fmt, ap);
    va_end(ap);
    return n;
}
