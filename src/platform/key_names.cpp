// The built-in key name table, by PC set-1 scan code (bit 8 marks extended keys).
#include "platform/input.h"

// "N" is scan code 49 and "M" 50 on the keyboard itself; bindings store names,
// so the names must land on the keys they say.
const KeyName g_key_table[] = {
    {"Esc", 1},          {"0", 11},           {"1", 2},          {"2", 3},
    {"3", 4},            {"4", 5},            {"5", 6},          {"6", 7},
    {"7", 8},            {"8", 9},            {"9", 10},         {"A", 30},
    {"B", 48},           {"C", 46},           {"D", 32},         {"E", 18},
    {"F", 33},           {"G", 34},           {"H", 35},         {"I", 23},
    {"J", 36},           {"K", 37},           {"L", 38},         {"M", 50},
    {"N", 49},           {"O", 24},           {"P", 25},         {"Q", 16},
    {"R", 19},           {"S", 31},           {"T", 20},         {"U", 22},
    {"V", 47},           {"W", 17},           {"X", 45},         {"Y", 21},
    {"Z", 44},           {"-", 12},           {"=", 13},         {"[", 26},
    {"]", 27},           {";", 39},           {"'", 40},         {"`", 41},
    {"\\", 43},          {",", 51},           {".", 52},         {"/", 53},
    {"Backspace", 14},   {"Tab", 15},         {"Enter", 28},     {"Left Ctrl", 29},
    {"Left Shift", 42},  {"Right Shift", 54}, {"Space", 57},     {" ", 57},
    {"Caps Lock", 58},   {"Right Ctrl", 285}, {"Insert", 338},   {"Delete", 339},
    {"Home", 327},       {"End", 335},        {"Page Up", 329},  {"Page Down", 337},
    {"Up", 328},         {"Down", 336},       {"Left", 331},     {"Right", 333},
    {"F1", 59},          {"F2", 60},          {"F3", 61},        {"F4", 62},
    {"F5", 63},          {"F6", 64},          {"F7", 65},        {"F8", 66},
    {"F9", 67},          {"F10", 68},         {"F11", 87},       {"F12", 88},
    {"Pause", 69},       {"Num Lock", 325},   {"Keypad /", 309}, {"Keypad *", 55},
    {"Keypad -", 74},    {"Keypad 7", 71},    {"Keypad 8", 72},  {"Keypad 9", 73},
    {"Keypad +", 78},    {"Keypad 4", 75},    {"Keypad 5", 76},  {"Keypad 6", 77},
    {"Keypad 1", 79},    {"Keypad 2", 80},    {"Keypad 3", 81},  {"Keypad Enter", 284},
    {"Keypad 0", 82},    {"Keypad .", 83},
};
const int g_key_table_count = (int)(sizeof g_key_table / sizeof g_key_table[0]);
