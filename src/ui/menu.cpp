// Menu pages; their items and drawing arrive with the front end.
#include "ui/menu.h"

void menu_key(uint32_t) {}
void menu_select_at(int, int) {}
void draw_menus(int, int) {}
void draw_centered_text(const char *, int, int) {}
void draw_gauges() {}
void draw_timing_overlay() {}
