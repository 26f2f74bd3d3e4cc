// Learned racing lines: loading, learning and storing.
#pragma once

// Writes learned lines back (only when learning is on) and empties the table.
void store_racing_lines(int learn);
