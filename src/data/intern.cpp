// The interned-string pool.
#include "data/intern.h"

#include <string>
#include <unordered_set>

// Node-based, so the text of an element never moves once added.
static std::unordered_set<std::string> *g_interned;

const char *intern_string(const char *s) {
    if (!s) return nullptr;
    if (!g_interned) g_interned = new std::unordered_set<std::string>; // lives for the run
    return g_interned->insert(s).first->c_str();
}
