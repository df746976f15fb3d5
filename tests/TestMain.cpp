#include "fileio/ProgramHeap.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ProgramHeap = HeapCreate(0, 4096, 0);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    HeapDestroy(ProgramHeap);
    return result;
}
