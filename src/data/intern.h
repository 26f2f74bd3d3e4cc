// Interned strings: one pooled copy per distinct text, kept for the whole run.
#pragma once

// Returns the pooled copy equal to s, adding one when there is none. 0 for 0.
const char *intern_string(const char *s);
