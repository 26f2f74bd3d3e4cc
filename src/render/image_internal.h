// Helpers shared by the image readers and writers.
#pragma once

// Sets the reason that image_error reports (a string literal).
void image_set_error(const char *reason);
