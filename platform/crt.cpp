#include "platform/crt.h"

#include <cstdint>

namespace crt {
namespace {

// Like the runtime it models, a thread that never seeds starts from 1.
thread_local uint32_t state = 1;

}  // namespace

void srand(unsigned seed) { state = seed; }

int rand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & RAND_MAX_VALUE);
}

}  // namespace crt
