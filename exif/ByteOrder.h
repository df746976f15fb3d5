#pragma once
#include <windows.h>

// The file layer writes integers little-endian; these turn them into the
// big-endian values the comment file holds. Exact for every input, values with
// the top bit set included.
LONG SwapBytes32(LONG value);
LONG SwapBytes16(LONG value);   // the low two bytes exchanged, zero-extended
