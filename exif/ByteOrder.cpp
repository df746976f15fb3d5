#include "ByteOrder.h"

LONG SwapBytes32(LONG value)
{
    // The masks keep arithmetic right shifts of negative values exact.
    return ((value & 0xFF) << 24) + ((value & 0xFF00) << 8) +
           ((value >> 8) & 0xFF00) + ((value >> 24) & 0xFF);
}

LONG SwapBytes16(LONG value)
{
    return ((value & 0xFF) << 8) | ((value & 0xFF00) >> 8);
}
