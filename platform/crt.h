// The classic C runtime generator: x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF.
// Deals depend on this exact sequence. The state is per thread, as in the runtime it models,
// so the music thread never disturbs a deal. (glibc's rand is a different generator.)
#pragma once

namespace crt {
constexpr int RAND_MAX_VALUE = 0x7FFF;
void srand(unsigned seed);
int rand();
}  // namespace crt
