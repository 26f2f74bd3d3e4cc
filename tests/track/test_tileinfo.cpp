// The surface table: "tileinfo" keywords, curves and their lookups, roost records and
// warnings, the 256-tile cap, "texturelist" lines and the transition codes.
#include "data/vfile.h"
#include "track/terrain.h"
#include "track_fixture.h"

namespace {

class TileInfo : public TrackTest {
  protected:
    void read(const std::string &text) {
        VFile *vf = open_text("tileinfo", text);
        ASSERT_NE(vf, nullptr);
        tileinfo_read(t_, vf);
        vfile_close(vf);
    }
    void read_list(const std::string &text) {
        VFile *vf = open_text("texturelist", text);
        ASSERT_NE(vf, nullptr);
        texturelist_read(t_, vf);
        vfile_close(vf);
    }
    const Tile &tile(int k) const { return t_->tiles[k]; }
};

TEST_F(TileInfo, CurvesHoldTheGivenPointsInSpeedOrder) {
    read("texture  @a b.png\n"
         "addtile\n"
         "  friction 0.8 10\n"
         "addtile\n"
         "friction 0.5 30\nfriction 0.9 10\nfriction 0.7 20\n"
         "roll_resist 7 21 40\nroll_resist 3 9 5\n"
         "addtile\n"
         "friction -1 0\naddtile\n");
    ASSERT_EQ(t_->tile_count, 4);
    EXPECT_EQ(tile(0).name, "@a b.png");
    // No friction line: the default constant 1; a single point: that constant.
    for (float s : {0.0f, 0.5f, 1.0f, 7.0f, 100.0f}) {
        EXPECT_FLOAT_EQ(tile_friction(&tile(0), s), 1.0f);
        EXPECT_FLOAT_EQ(tile_friction(&tile(1), s), 0.8f) << s;
    }
    const FrictionPoint *f = tile(2).friction;
    EXPECT_FLOAT_EQ(f[0].speed, 10);
    EXPECT_FLOAT_EQ(f[0].coefficient, 0.9f);
    EXPECT_FLOAT_EQ(f[1].speed, 20);
    EXPECT_FLOAT_EQ(f[1].coefficient, 0.7f);
    EXPECT_FLOAT_EQ(f[2].speed, 30);
    EXPECT_FLOAT_EQ(f[2].coefficient, 0.5f);
    EXPECT_FLOAT_EQ(f[3].speed, 0);
    EXPECT_FLOAT_EQ(tile(2).roll_resist[0].speed, 5);
    EXPECT_FLOAT_EQ(tile(2).roll_resist[1].speed, 40);
    // A negative coefficient and a zero speed are clamped, so the point does not end the curve.
    EXPECT_FLOAT_EQ(tile(3).friction[0].coefficient, 0);
    EXPECT_FLOAT_EQ(tile(3).friction[0].speed, 0.00000095367431640625f);
}

TEST_F(TileInfo, FrictionLookupInterpolatesInSquaredSpeed) {
    read("friction 0.9 10\nfriction 0.7 20\nfriction 0.5 30\naddtile\n");
    struct Case {
        float speed, expect;
    } cases[] = {
        {0, 0.9f},
        {5, 0.9f},
        {10, 0.9f},
        {20, 0.7f},
        {30, 0.5f},
        {31, 0.5f},
        {1000, 0.5f},
        {15, 0.9f - 0.2f * (225 - 100) / (400.0f - 100)},
        {25, 0.7f - 0.2f * (625 - 400) / (900.0f - 400)},
        {-15, 0.9f - 0.2f * (225 - 100) / (400.0f - 100)}, // only the speed's size counts
    };
    for (const Case &c : cases)
        EXPECT_NEAR(tile_friction(&tile(0), c.speed), c.expect, 1e-6) << c.speed;
}

TEST_F(TileInfo, RollingResistanceInterpolatesInSpeed) {
    read("roll_resist 4 10 10\nroll_resist 8 30 20\naddtile\naddtile\n");
    struct Case {
        float speed, first, second;
    } cases[] = {{0, 4, 10}, {10, 4, 10}, {12.5f, 5, 15}, {15, 6, 20}, {20, 8, 30}, {99, 8, 30}};
    for (const Case &c : cases) {
        float a, b;
        tile_roll_resist(&tile(0), c.speed, &a, &b);
        EXPECT_NEAR(a, c.first, 1e-5) << c.speed;
        EXPECT_NEAR(b, c.second, 1e-5) << c.speed;
    }
    float a, b;
    tile_roll_resist(&tile(1), 50, &a, &b);
    EXPECT_FLOAT_EQ(a, 5);
    EXPECT_FLOAT_EQ(b, 15);
}

TEST_F(TileInfo, RoostRecords) {
    read("roost splash=1 count=40\n"
         "roost \"texture=@my roost.png\" fade_a=-256 a=300 r=-1 g=256.9 dig=0.25\n"
         "addtile\n");
    const RoostType &r0 = tile(0).roost[0], &r1 = tile(0).roost[1];
    RoostType def;
    roost_reset(&def);
    EXPECT_EQ(r0.kind, 2);
    EXPECT_FLOAT_EQ(r0.count, 40);
    EXPECT_FLOAT_EQ(r0.dig, def.dig);
    EXPECT_FLOAT_EQ(r0.fast_angle, def.fast_angle);
    EXPECT_EQ(r0.a, 255);
    EXPECT_EQ(r0.fade_a, -2);
    EXPECT_EQ(r0.texture_name, "@roost.png");
    EXPECT_EQ(r1.kind, 1);
    EXPECT_EQ(r1.texture_name, "@my roost.png");
    EXPECT_EQ(r1.fade_a, -2); // -256 per second is -2 per step
    EXPECT_EQ(r1.a, 44);      // the low 8 bits of 300
    EXPECT_EQ(r1.r, 255);     // -1 keeps its low 8 bits
    EXPECT_EQ(r1.g, 0);       // 256.9 truncates to 256
    EXPECT_FLOAT_EQ(r1.dig, 0.25f);
    EXPECT_EQ(tile(0).roost[2].kind, 0);
    EXPECT_TRUE(console_.empty());
}

TEST_F(TileInfo, WarningsLeaveTheRestOfTheTileAlone) {
    std::string text = "Friction 1 1\n"
                       "friction 1\n"
                       "roll_resist 1 2\n"
                       "roost count=x size= fade_g=abc bogus=1 splash=x texture=\n";
    for (int k = 0; k < 9; k++) text += "friction 1 " + std::to_string(k + 1) + "\n";
    for (int k = 0; k < 9; k++) text += "roll_resist 1 1 " + std::to_string(k + 1) + "\n";
    for (int k = 0; k < 4; k++) text += "roost\n";
    text += "addtile\n";
    read(text);
    std::vector<std::string> want = {
        "tileinfo warning: Unknown identifier 'Friction'\n",
        "tileinfo warning: bad friction parameters\n",
        "tileinfo warning: bad roll_resist parameters\n",
        "tileinfo warning: bad count\n",
        "tileinfo warning: bad size\n",
        "tileinfo warning: bad fade_g\n",
        "tileinfo warning: unknown roost parameter 'bogus=1'\n",
        "tileinfo warning: too many friction points\n",
        "tileinfo warning: too many roll_resist points\n",
        "tileinfo warning: too many roost types\n",
    };
    EXPECT_EQ(console_, want);
    ASSERT_EQ(t_->tile_count, 1);
    EXPECT_FLOAT_EQ(tile(0).friction[7].speed, 8);
    EXPECT_FLOAT_EQ(tile(0).roll_resist[7].speed, 8);
    const RoostType &r = tile(0).roost[0];
    EXPECT_FLOAT_EQ(r.count, 0); // what the failed conversion gave
    EXPECT_FLOAT_EQ(r.size, 0);
    EXPECT_EQ(r.fade_g, 0);
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(tile(0).roost[3].kind, 1);
}

TEST_F(TileInfo, TilesEndAtTheLastAddtileAndAt256) {
    read("friction 2 1\naddtile\nfriction 3 1\n");
    EXPECT_EQ(t_->tile_count, 1);
    terrain_release(t_);
    std::string many;
    for (int k = 0; k < 300; k++) many += "friction " + std::to_string(k) + " 1\naddtile\n";
    many += "nonsense that must never be read\n";
    read(many);
    EXPECT_EQ(t_->tile_count, 256);
    EXPECT_FLOAT_EQ(tile(255).friction[0].coefficient, 255);
    EXPECT_TRUE(console_.empty());
}

TEST_F(TileInfo, TexturelistLines) {
    read_list("0.8 6 18 dirt.png\n"
              "\n"
              "   grass.png\r\n"
              "3dgrass.png\n"
              "1 2 name with spaces.png \t \r\n"
              "0.5 1\n");
    ASSERT_EQ(t_->tile_count, 5);
    struct Case {
        const char *name;
        float friction, first, second;
    } cases[] = {{"@dirt.png", 0.8f, 6, 18},
                 {"@grass.png", 1, 5, 15},
                 {"@3dgrass.png", 1, 5, 15},
                 {"@1 2 name with spaces.png", 1, 5, 15},
                 {"@0.5 1", 1, 5, 15}};
    for (int k = 0; k < 5; k++) {
        const Case &c = cases[k];
        EXPECT_EQ(tile(k).name, c.name);
        float a, b;
        tile_roll_resist(&tile(k), 10, &a, &b);
        EXPECT_FLOAT_EQ(tile_friction(&tile(k), 10), c.friction);
        EXPECT_FLOAT_EQ(a, c.first);
        EXPECT_FLOAT_EQ(b, c.second);
        EXPECT_EQ(tile(k).roost[0].kind, 1);
        EXPECT_EQ(tile(k).roost[0].texture_name, "@roost.png");
        EXPECT_EQ(tile(k).roost[1].kind, 0);
    }
    std::string lines;
    for (int k = 0; k < 300; k++) lines += "t" + std::to_string(k) + ".png\n";
    terrain_release(t_);
    read_list(lines);
    EXPECT_EQ(t_->tile_count, 256);
    EXPECT_EQ(tile(255).name, "@t255.png");
}

TEST_F(TileInfo, TransitionCodesNameBothTilesAndTheCorners) {
    read("texture @ground/grass.png\naddtile\n"
         "texture @ground/dirt.png\naddtile\n"
         "texture @ground/grass-dirt-0110.png\naddtile\n"
         "texture @ground/dirt-alt2.png\naddtile\n"
         "texture @ground/mud-rock-1111.png\naddtile\n");
    ASSERT_EQ(t_->tile_count, 5);
    tile_transition_codes(t_);
    EXPECT_EQ(tile(0).transition, 0 << 16 | 0 << 8);
    EXPECT_EQ(tile(1).transition, 1 << 16 | 1 << 8);
    EXPECT_EQ(tile(2).transition, 0 << 16 | 1 << 8 | 6);
    EXPECT_EQ(tile(3).transition, tile(1).transition);
    EXPECT_EQ(tile(4).transition, 4 << 16 | 4 << 8); // names no known tiles
}

} // namespace
