#include "ProgramHeap.h"

HANDLE ProgramHeap;
