// Menus: key handling and drawing of the menu pages.
#pragma once
#include <cstdint>

// Handles a key press for the open menu.
void menu_key(uint32_t code);
// Selects the item under the cursor.
void menu_select_at(int x, int y);
// Draws the open menu and the message overlay.
void draw_menus(int width, int height);
// Draws a line of text centred across the screen on a grid of `lines` lines.
void draw_centered_text(const char *text, int line, int lines);
// The rider's gauges and the timing overlay.
void draw_gauges();
void draw_timing_overlay();
