#include "book/book.h"

BookRecord bookProbe(const char*, uint64_t key) { return BookRecord{key, 0, 0, 0, 1}; }
