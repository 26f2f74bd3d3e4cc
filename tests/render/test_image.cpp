// The image readers and writers: PPM and PGM headers, data and failures; PNG layouts,
// conversions and text chunks; the size checks.
#include "data/vfile.h"
#include "render/image.h"
#include "../track/track_fixture.h"

#include <cstring>
#include <png.h>

namespace {

class ImageFiles : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = make_temp_folder(); }
    void TearDown() override {
        image_free(&img_);
        remove_tree(dir_);
    }
    std::string path(const char *name) const { return dir_ + "/" + name; }
    // Writes bytes and reads them back with reader; returns the reader's result.
    int read_bytes(const Bytes &data, int (*reader)(VFile *, Image *)) {
        put_file(path("img"), data);
        VFile *vf = vfile_open(path("img").c_str(), "rb");
        EXPECT_NE(vf, nullptr);
        image_free(&img_);
        int ok = reader(vf, &img_);
        vfile_close(vf);
        return ok;
    }
    int read_text(const std::string &s, int (*reader)(VFile *, Image *)) {
        return read_bytes(Bytes(s.begin(), s.end()), reader);
    }
    std::string dir_;
    Image img_ = {nullptr, 0, 0, 0, 8, 0, 0};
};

TEST_F(ImageFiles, PpmBinaryAndTextWithComments) {
    std::string p6 = "P6\n# made by hand\n2 # width\n1\n#max\n255\n";
    p6 += std::string("\x01\x02\x03\xfa\xfb\xfc", 6);
    ASSERT_EQ(read_text(p6, read_ppm), 1) << image_error();
    EXPECT_EQ(img_.width, 2);
    EXPECT_EQ(img_.height, 1);
    EXPECT_EQ(img_.components, 3);
    EXPECT_EQ(Bytes(img_.pixels, img_.pixels + 6), (Bytes{1, 2, 3, 250, 251, 252}));

    ASSERT_EQ(read_text("P3 1 2 15\n15 0 5\n 7 300 -2", read_ppm), 1) << image_error();
    // Rescaled as v x 255 / maxval, values beyond the range clamped first.
    EXPECT_EQ(Bytes(img_.pixels, img_.pixels + 6), (Bytes{255, 0, 85, 119, 255, 0}));
}

TEST_F(ImageFiles, PgmBinaryAndText) {
    ASSERT_EQ(read_text(std::string("P5 3 1 100\n\x00\x32\x64", 14), read_pgm), 1) << image_error();
    EXPECT_EQ(img_.components, 1);
    EXPECT_EQ(Bytes(img_.pixels, img_.pixels + 3), (Bytes{0, 127, 255}));
    ASSERT_EQ(read_text("P2\n2 2\n255\n1 2\n3 4\n", read_pgm), 1);
    EXPECT_EQ(Bytes(img_.pixels, img_.pixels + 4), (Bytes{1, 2, 3, 4}));
}

// Broken headers and data: each fails with its reason before allocating anything large.
TEST_F(ImageFiles, BrokenPnmFilesGiveTheirReasons) {
    struct Case {
        const char *text;
        int ppm; // 1: read as PPM, 0: as PGM
        const char *reason;
    } cases[] = {
        {"P5 1 1 255\n\x01", 1, "Can't parse PPM header"},
        {"Q6 1 1 255\n\x01", 1, "Can't parse PPM header"},
        {"", 1, "Can't parse PPM header"},
        {"P6 1 1 255\n\x01", 0, "Can't parse PGM header"},
        {"P6 1\n", 1, "Can't get PPM dimensions"},
        {"P6 1 x 255", 1, "Can't get PPM dimensions"},
        {"P5 4", 0, "Can't get PGM dimensions"},
        {"P6 0 5 255\n", 1, "Bad PPM dimensions"},
        {"P6 -3 5 255\n", 1, "Bad PPM dimensions"},
        {"P6 16385 1 255\n", 1, "Bad PPM dimensions"},
        {"P6 16384 16384 255\n", 1, "Bad PPM dimensions"},  // 768 MiB of pixels
        {"P6 2147483648 1 255\n", 1, "Bad PPM dimensions"}, // wraps negative in the reader
        {"P5 100000 100000 255\n", 0, "Bad PGM dimensions"},
        {"P6 1 1 0\n\x01\x02\x03", 1, "Bad PPM maximum value"},
        {"P6 1 1 256\n\x01\x02\x03", 1, "Bad PPM maximum value"},
        {"P5 1 1 65535\n\x01\x02", 0, "Bad PGM maximum value"},
        {"P6 2 2 255\n\x01\x02\x03", 1, "Short PPM pixel data"},
        {"P6 1 1 255", 1, "Short PPM pixel data"},
        {"P3 1 1 255 1 2", 1, "Short PPM pixel data"},
        {"P5 8000 8000 255\n\x01", 0, "Short PGM pixel data"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(read_text(c.text, c.ppm ? read_ppm : read_pgm), 0) << c.text;
        EXPECT_STREQ(image_error(), c.reason) << c.text;
        EXPECT_EQ(img_.pixels, nullptr);
    }
}

TEST_F(ImageFiles, CheckedSizesRefuseOverflow) {
    EXPECT_EQ(image_checked_size(3, 2, 3, 8), 18ul);
    EXPECT_EQ(image_checked_size(4097, 4097, 1, 16), 4097ul * 4097 * 2);
    EXPECT_EQ(image_checked_size(0, 2, 3, 8), 0ul);
    EXPECT_EQ(image_checked_size(2, -1, 3, 8), 0ul);
    EXPECT_EQ(image_checked_size(16384, 16384, 1, 8), 256ul << 20);
    EXPECT_EQ(image_checked_size(16384, 16384, 2, 8), 0ul);
    EXPECT_EQ(image_checked_size(1L << 40, 1L << 40, 4, 8), 0ul);
    EXPECT_EQ(image_checked_size(2, 2, 5, 8), 0ul);
    EXPECT_EQ(image_checked_size(2, 2, 1, 12), 0ul);
}

TEST_F(ImageFiles, PngRoundTripsInEveryLayout) {
    struct Case {
        ImageFormat format;
        int components;
    } cases[] = {{IMAGE_RGB8, 3}, {IMAGE_RGBA8, 4}, {IMAGE_GREY8, 1}, {IMAGE_GREY16, 1}};
    const int w = 7, h = 5;
    for (const Case &c : cases) {
        Bytes px((size_t)w * h * c.components * (c.format == IMAGE_GREY16 ? 2 : 1));
        for (size_t k = 0; k < px.size(); k++) px[k] = (uint8_t)(k * 37 + 11);
        ASSERT_EQ(image_write_png(path("a.png").c_str(), px.data(), w, h, c.format), 1);
        VFile *vf = vfile_open(path("a.png").c_str(), "rb");
        image_free(&img_);
        if (c.format == IMAGE_GREY16) {
            ASSERT_EQ(read_png_grey16(vf, &img_), 1) << image_error();
            EXPECT_EQ(img_.bits, 16);
        } else {
            ASSERT_EQ(read_png_rgb(vf, &img_), 1) << image_error();
        }
        vfile_close(vf);
        EXPECT_EQ(img_.width, w);
        EXPECT_EQ(img_.height, h);
        if (c.format == IMAGE_GREY8) {
            // Grey comes back as RGB with equal channels.
            ASSERT_EQ(img_.components, 3);
            for (int k = 0; k < w * h; k++)
                for (int ch = 0; ch < 3; ch++) ASSERT_EQ(img_.pixels[3 * k + ch], px[k]);
        } else {
            EXPECT_EQ(img_.components, c.components);
            EXPECT_EQ(Bytes(img_.pixels, img_.pixels + px.size()), px);
        }
    }
}

TEST_F(ImageFiles, Grey16ReaderConvertsOtherLayouts) {
    Bytes grey = {0, 1, 128, 255};
    ASSERT_EQ(image_write_png(path("g.png").c_str(), grey.data(), 2, 2, IMAGE_GREY8), 1);
    VFile *vf = vfile_open(path("g.png").c_str(), "rb");
    ASSERT_EQ(read_png_grey16(vf, &img_), 1);
    vfile_close(vf);
    const uint16_t *s = (const uint16_t *)img_.pixels;
    for (int k = 0; k < 4; k++) EXPECT_EQ(s[k], grey[k] * 257);

    // Colour becomes grey, alpha is dropped: white and black stay white and black.
    Bytes rgba = {255, 255, 255, 0, 0, 0, 0, 255, 255, 0, 0, 255, 0, 255, 0, 9};
    ASSERT_EQ(image_write_png(path("c.png").c_str(), rgba.data(), 4, 1, IMAGE_RGBA8), 1);
    vf = vfile_open(path("c.png").c_str(), "rb");
    image_free(&img_);
    ASSERT_EQ(read_png_grey16(vf, &img_), 1);
    vfile_close(vf);
    s = (const uint16_t *)img_.pixels;
    EXPECT_EQ(s[0], 65535);
    EXPECT_EQ(s[1], 0);
    EXPECT_GT(s[3], s[2]); // green weighs more than red
}

// A palette PNG with a transparent entry and the mip text chunks, written by libpng here.
static void write_palette_png(const std::string &path) {
    FILE *f = fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, 2, 1, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[2] = {{10, 20, 30}, {200, 100, 50}};
    png_set_PLTE(png, info, palette, 2);
    png_byte alpha[1] = {0};
    png_set_tRNS(png, info, alpha, 1, nullptr);
    png_text text[2];
    memset(text, 0, sizeof text);
    text[0].compression = text[1].compression = PNG_TEXT_COMPRESSION_NONE;
    text[0].key = (png_charp) "Comment";
    text[0].text = (png_charp) "keep [mip_max_alpha] please";
    text[1].key = (png_charp) "Comment";
    text[1].text = (png_charp) "[mip_custom]";
    png_set_text(png, info, text, 2);
    png_write_info(png, info);
    png_byte row[2] = {0, 1};
    png_write_row(png, row);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    fclose(f);
}

TEST_F(ImageFiles, PaletteTransparencyAndTextChunks) {
    write_palette_png(path("p.png"));
    VFile *vf = vfile_open(path("p.png").c_str(), "rb");
    ASSERT_EQ(read_png_rgb(vf, &img_), 1) << image_error();
    vfile_close(vf);
    ASSERT_EQ(img_.components, 4);
    EXPECT_EQ(Bytes(img_.pixels, img_.pixels + 8), (Bytes{10, 20, 30, 0, 200, 100, 50, 255}));
    EXPECT_EQ(img_.mip_max_alpha, 1);
    EXPECT_EQ(img_.mip_custom, 1);
}

TEST_F(ImageFiles, BrokenPngsFail) {
    EXPECT_EQ(read_text("P6 1 1 255\n\x01\x02\x03", read_png_rgb), 0);
    EXPECT_STREQ(image_error(), "Not a PNG file");
    Bytes px(64 * 64 * 3, 77);
    ASSERT_EQ(image_write_png(path("ok.png").c_str(), px.data(), 64, 64, IMAGE_RGB8), 1);
    Bytes whole = file_bytes(path("ok.png"));
    for (size_t cut : {(size_t)12, (size_t)40, whole.size() / 2, whole.size() - 13}) {
        EXPECT_EQ(read_bytes(Bytes(whole.begin(), whole.begin() + cut), read_png_rgb), 0) << cut;
        EXPECT_EQ(img_.pixels, nullptr);
        EXPECT_EQ(read_bytes(Bytes(whole.begin(), whole.begin() + cut), read_png_grey16), 0) << cut;
    }
    EXPECT_EQ(image_write_png(path("bad.png").c_str(), px.data(), 0, 64, IMAGE_RGB8), 0);
    EXPECT_EQ(image_write_png("/proc/nowhere/x.png", px.data(), 8, 8, IMAGE_RGB8), 0);
}

} // namespace
