#pragma once

namespace platform {

// a * b / c with a 64-bit product, rounded half away from zero. -1 when c is 0 or the result
// does not fit in 32 bits, as the platform function answers.
int mulDiv(int a, int b, int c);

} // namespace platform
