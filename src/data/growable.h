// Growable arrays: the capacity starts at 16 elements and doubles when full.
#pragma once
#include <cstddef>
#include <vector>

// Appends v. 1 on success; 0 when the capacity cannot double any more, in which case
// the array is left as it was and v is dropped. Running out of memory is fatal.
template <class T> int growable_push(std::vector<T> *a, const T &v) {
    if (a->size() == a->capacity()) {
        std::size_t want = a->capacity() ? a->capacity() * 2 : 16;
        if (want > a->max_size() || want < a->capacity()) return 0;
        a->reserve(want);
    }
    a->push_back(v);
    return 1;
}
