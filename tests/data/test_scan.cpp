// vfile_scan: one table of (format, input) -> (count, values, next character), the
// saturation of huge numbers, and mixing with other reads.
#include "data/vfile.h"
#include "data_fixture.h"

#include <cmath>
#include <cstring>

namespace {

// A target of any conversion; pre-filled so that untouched targets show.
union Slot {
    int i;
    short h;
    float f;
    double d;
    long double ld;
    char s[1100];
};
const unsigned char kFill = 0xab;

// Renders target k of kind t ("i" int, "h" short, "f" float, "d" double, "L" long double,
// "s" string, "c" characters), or "?" when the scan left it untouched.
std::string render(const Slot &slot, char t) {
    const unsigned char *raw = (const unsigned char *)&slot;
    size_t size = t == 'i'   ? sizeof(int)
                  : t == 'h' ? sizeof(short)
                  : t == 'f' ? sizeof(float)
                  : t == 'd' ? sizeof(double)
                  : t == 'L' ? 10
                             : 1;
    size_t same = 0;
    while (same < size && raw[same] == kFill) same++;
    if (same == size) return "?";
    char buf[64];
    switch (t) {
    case 'i':
        return std::to_string(slot.i);
    case 'h':
        return std::to_string(slot.h);
    case 'f':
        snprintf(buf, sizeof buf, "%.9g", slot.f);
        return buf;
    case 'd':
        snprintf(buf, sizeof buf, "%.17g", slot.d);
        return buf;
    case 'L':
        snprintf(buf, sizeof buf, "%.21Lg", slot.ld);
        return buf;
    case 's':
        return slot.s;
    default:
        return std::string(slot.s, strchr(slot.s, (char)kFill) - slot.s);
    }
}

struct ScanCase {
    const char *format;
    const char *input;
    const char *types; // one letter per target, as in render
    int count;
    const char *values; // rendered targets joined by "|"
    int next;           // the next character after the call, or -1
};

// Runs one case; the targets as "v|v|...".
std::string run_scan(const std::string &input, const char *format, const char *types, int *count,
                     int *next) {
    static Slot slots[8];
    memset(slots, kFill, sizeof slots);
    VFile *vf = vfile_open_memory(input.data(), input.size(), 0);
    *count = vfile_scan(vf, format, &slots[0], &slots[1], &slots[2], &slots[3], &slots[4],
                        &slots[5], &slots[6], &slots[7]);
    *next = vfile_getc(vf);
    vfile_close(vf);
    std::string out;
    for (size_t k = 0; types[k]; k++) out += (k ? "|" : "") + render(slots[k], types[k]);
    return out;
}

const char kQuoted[] = " \"%1023[^\"]\"";

const ScanCase kCases[] = {
    // Integers.
    {"%d", "  -17x", "i", 1, "-17", 'x'},
    {"%d %d", "5 abc", "ii", 1, "5|?", 'a'},
    {"%d %d", "", "ii", -1, "?|?", -1},
    {"%d %d", "abc", "ii", 0, "?|?", 'a'},
    {"%d", "   ", "i", -1, "?", -1},
    {"%d", "+42", "i", 1, "42", -1},
    {"%d", "-", "i", 0, "?", -1},
    {"%d", "- 5", "i", 0, "?", ' '},
    {"%3d", "12345", "i", 1, "123", '4'},
    {"%2d", "-12", "i", 1, "-1", '2'},
    {"%d", "2147483648", "i", 1, "-2147483648", -1},
    {"%d", "99999999999", "i", 1, "1215752191", -1},
    {"%i", "0x1Fg", "i", 1, "31", 'g'},
    {"%i", "017", "i", 1, "15", -1},
    {"%i", "0", "i", 1, "0", -1},
    {"%i", "0xg", "i", 0, "?", 'g'},
    {"%i", "-9", "i", 1, "-9", -1},
    {"%x", "0x10", "i", 1, "0", 'x'},
    {"%X", "ffz", "i", 1, "255", 'z'},
    {"%o", "778", "i", 1, "63", '8'},
    {"%*d %d", "1 2", "i", 1, "2", -1},
    {"%ld %lld %Ld", "1 2 3", "iii", 3, "1|2|3", -1},
    {"%hd %hd", "-2 70000", "hh", 2, "-2|4464", -1},
    // Floats.
    {"%f", "1.5e2", "f", 1, "150", -1},
    {"%f", "-.5", "f", 1, "-0.5", -1},
    {"%f", ".", "f", 1, "0", -1},
    {"%f", "e5", "f", 0, "?", -1},
    {"%f", "1e", "f", 1, "1", -1},
    {"%f", "1e+", "f", 1, "1", -1},
    {"%f", "2E-2,", "f", 1, "0.0199999996", ','},
    {"%f", "1.2.3", "f", 1, "1.20000005", '.'},
    {"%f", "+3", "f", 1, "3", -1},
    {"%f", "-x", "f", 0, "?", 'x'},
    {"%f", "inf", "f", 0, "?", 'i'},
    {"%lf", "0.1", "d", 1, "0.10000000000000001", -1},
    {"%Lf", "0.1", "L", 1, "0.100000000000000000001", -1},
    {"%qf %llf", "2 3", "LL", 2, "2|3", -1},
    {"%f", "1e99999999999999999999", "f", 1, "inf", -1},
    {"%lf", "-1e400", "d", 1, "-inf", -1},
    {"%f", "1e-99999999999999999999", "f", 1, "0", -1},
    {"%f", "0e99999", "f", 1, "0", -1},
    {" [ %f %f %f ] %f %f ", "x [ 1 2 3 ]", "fffff", -1, "?|?|?|?|?", 'x'},
    {" [ %f %f %f ] %f %f ", "[ 1 2 3 ] 4", "fffff", 4, "1|2|3|4|?", -1},
    {"[ %f %f ] %f %f %f %1023s ", "[1 2]3 4 5 name\nnext", "fffffs", 6, "1|2|3|4|5|name", 'n'},
    // Words, characters and sets.
    {"%15s", "abcdefghijklmnopqrst", "s", 1, "abcdefghijklmno", 'p'},
    {"%5s", "ab cd", "s", 1, "ab", ' '},
    {"%s", "", "s", -1, "?", -1},
    {"%d %s", "5", "is", 1, "5|?", -1},
    {" %1023s ", "word\n\tbinary", "s", 1, "word", 'b'},
    {"%*s %s", "skip keep", "s", 1, "keep", -1},
    {"%c", " ab", "c", 1, " ", 'a'},
    {"%3c", "abcd", "c", 1, "abc", 'd'},
    {"%3c", "ab", "c", -1, "ab", -1},
    {"%d%3c", "5ab", "ic", 1, "5|ab", -1},
    {kQuoted, "\"two words\" rest", "s", 1, "two words", ' '},
    {kQuoted, "\"\"", "s", 0, "?", '"'},
    {kQuoted, "  word", "s", -1, "?", 'w'},
    {kQuoted, "\"open", "s", -1, "open", -1},
    {" %1[#]%*[^\n]", "  # note\nnext", "s", 1, "#", '\n'},
    {" %1[#]%*[^\n]", "data", "s", 0, "?", 'd'},
    {" %1[#]%*[^\n]", "#", "s", 1, "#", -1},
    {"%[a-c]", "abcd", "s", 1, "abc", 'd'},
    {"%[^a-c]", "xyza", "s", 1, "xyz", 'a'},
    {"%[]a]", "]a]b", "s", 1, "]a]", 'b'},
    {"%[^]a]", "xy]", "s", 1, "xy", ']'},
    {"%[a-]", "a-a-b", "s", 1, "a-a-", 'b'},
    {"%[c-a]", "a-cb", "s", 1, "a-c", 'b'},
    {"%2[a]", "aaa", "s", 1, "aa", 'a'},
    {"%[a]", "", "s", -1, "?", -1},
    {"%[a]", "b", "s", 0, "?", 'b'},
    {"%d%[ab", "5a", "is", 1, "5|?", 'a'},
    // Literals, %%, %n and unknown conversions.
    {"abc%d", "abx", "i", -1, "?", 'x'},
    {"%d abc", "5 abx", "i", -1, "5", 'x'},
    {"%d,%d", "1,2", "ii", 2, "1|2", -1},
    {"%d,", "1", "i", -1, "1", -1},
    {"%%%d", "%5", "i", 1, "5", -1},
    {"%%", "x", "", -1, "", 'x'},
    {"ct03 %d ", "ct03 7\n", "i", 1, "7", -1},
    {"QM%d", "qm5", "i", -1, "?", 'q'},
    {"%d%n", "  42x", "ii", 1, "42|4", 'x'},
    {"%*d%n", "  42x", "i", 0, "4", 'x'},
    {" %hn", "   ", "h", 0, "3", -1},
    {"%d %u", "1 2", "ii", 1, "1|?", '2'},
    {"%d%", "1 2", "i", 1, "1", ' '},
};

TEST(Scan, TableOfCases) {
    for (const ScanCase &c : kCases) {
        SCOPED_TRACE(std::string("format \"") + c.format + "\" on \"" + c.input + "\"");
        int count, next;
        std::string values = run_scan(c.input, c.format, c.types, &count, &next);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(values, c.values);
        EXPECT_EQ(next, c.next);
    }
}

TEST(Scan, HugeMantissasSaturateInsteadOfNan) {
    struct Huge {
        std::string input;
        double expected; // relative accuracy 1e-12
    } cases[] = {
        {"1" + std::string(5000, '0') + "e-5000", 1.0},
        {std::string(6000, '9') + ".5e-6000", 1.0},
        {"0." + std::string(6000, '0') + "1e6001", 1.0},
        {"3" + std::string(6000, '0') + "." + std::string(3000, '7') + "e-6000", 3.0},
        {"1" + std::string(5000, '0'), INFINITY},
        {"0." + std::string(6000, '0') + "1", 0.0},
    };
    for (const Huge &c : cases) {
        int count, next;
        std::string v = run_scan(c.input, "%lf", "d", &count, &next);
        EXPECT_EQ(count, 1);
        EXPECT_EQ(next, -1);
        double got = strtod(v.c_str(), nullptr);
        EXPECT_FALSE(std::isnan(got)) << c.input.size();
        if (std::isinf(c.expected) || c.expected == 0)
            EXPECT_EQ(got, c.expected);
        else
            EXPECT_NEAR(got, c.expected, c.expected * 1e-12);
    }
}

TEST(Scan, HalfTargetsLeaveNeighboursAlone) {
    struct {
        short a, b, c;
    } t = {111, 222, 333};
    const char input[] = "-5";
    VFile *vf = vfile_open_memory(input, 2, 0);
    EXPECT_EQ(vfile_scan(vf, "%hd", &t.b), 1);
    vfile_close(vf);
    EXPECT_EQ(t.a, 111);
    EXPECT_EQ(t.b, -5);
    EXPECT_EQ(t.c, 333);
}

TEST(Scan, MixesWithLineAndBlockReads) {
    std::string text = "SOUNDTABLE 2 3\n"
                       "# a comment line\n"
                       "0.5 1.5 \"quoted name\"\n"
                       "BIN";
    VFile *vf = vfile_open_memory(text.data(), text.size(), 0);
    int a, b;
    ASSERT_EQ(vfile_scan(vf, "SOUNDTABLE %d %d", &a, &b), 2);
    EXPECT_EQ(a * 10 + b, 23);
    char hash[2], name[1024];
    EXPECT_EQ(vfile_scan(vf, " %1[#]%*[^\n]", hash), 1);
    EXPECT_EQ(vfile_scan(vf, " %1[#]%*[^\n]", hash), 0);
    float x, y;
    EXPECT_EQ(vfile_scan(vf, "%f %f", &x, &y), 2);
    EXPECT_EQ(vfile_scan(vf, kQuoted, name), 1);
    EXPECT_STREQ(name, "quoted name");
    EXPECT_EQ(vfile_scan(vf, " "), 0);
    char bin[3];
    EXPECT_EQ(vfile_read(vf, bin, 3), 3u);
    EXPECT_EQ(std::string(bin, 3), "BIN");
    EXPECT_EQ(vfile_scan(vf, "%d", &a), -1);
    vfile_close(vf);

    // The same over a gzip stream.
    Bytes gz = gzip_with(to_bytes(text), 0);
    vf = vfile_open_memory(gz.data(), gz.size(), 1);
    ASSERT_EQ(vfile_scan(vf, "SOUNDTABLE %d %d %1[#]%*[^\n]", &a, &b, hash), 3);
    char line[64];
    ASSERT_TRUE(vfile_gets(vf, line, sizeof line));
    EXPECT_STREQ(line, "\n");
    EXPECT_EQ(vfile_scan(vf, "%f", &x), 1);
    EXPECT_EQ(x, 0.5f);
    vfile_close(vf);
}

} // namespace
