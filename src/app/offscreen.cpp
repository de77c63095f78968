#include "app/offscreen.h"

#include <cstdio>

int RunAt(const VelunarOptions&) {
    std::fprintf(stderr, "velunar: --at is not available yet\n");
    return 1;
}
