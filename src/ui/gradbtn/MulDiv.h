#pragma once

namespace vorlane {

// a * b / c rounded to the nearest integer, halves away from zero, without overflow of the
// product. A zero divisor gives -1, as the Windows function of that name answers.
int MulDiv(int a, int b, int c);

} // namespace vorlane
