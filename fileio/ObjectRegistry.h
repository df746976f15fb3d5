#pragma once
#include <windows.h>
#include "LinkedBlock.h"

// An object number: a slot number from 0 up, or the identity (payload address)
// of an auto-numbered record, in an integer as wide as an address.
typedef INT_PTR ObjectNumber;

// Asks ObtainObject for a record outside the slot table.
const ObjectNumber AutoNumber = -1;

// Releases the object named by number and then calls ReleaseObject on it.
// The registry ignores the result.
typedef LONG (*ReleaseCallback)(ObjectNumber number);

// Fixed-size records addressed by number. Every record begins with a 32-bit
// liveness word: non-zero while the record is live.
struct ObjectRegistry {
    LONG recordSize;
    LONG growthStep;    // also the initial slot count
    LONG capacity;
    void** slots;       // null entry: a slot never used
    LinkedBlock* autoList;
    ReleaseCallback onRelease;
    LONG scanIndex;
    LinkedBlock* scanBlock;
};

// Returns null when the heap can't supply the registry or its table.
ObjectRegistry* CreateObjectRegistry(LONG recordSize, LONG slotCount, ReleaseCallback onRelease);

// The record for a slot number (zeroed when new, released through onRelease
// when it held one), or a new zeroed auto-numbered record for AutoNumber.
// Null for numbers below AutoNumber and when the heap is exhausted.
void* ObtainObject(ObjectRegistry* registry, ObjectNumber number);

// The live record that number names, or null. Any value is safe to pass.
void* FindObject(ObjectRegistry* registry, ObjectNumber number);

// Zeroes a slot's record, or unlinks and frees an auto-numbered one.
// Values that name no record are ignored.
void ReleaseObject(ObjectRegistry* registry, ObjectNumber number);

// One cursor per registry: live slots in ascending order, then every
// auto-numbered record from the oldest to the newest. The cursor moves past an
// object before handing it out, so the caller may release it.
void BeginObjectScan(ObjectRegistry* registry);
void* NextLiveObject(ObjectRegistry* registry, ObjectNumber* number);

// Calls onRelease once for every live object, in scan order.
void ReleaseAllObjects(ObjectRegistry* registry);
