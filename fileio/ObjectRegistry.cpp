#include "ObjectRegistry.h"
#include "ProgramHeap.h"
#include <string.h>

static bool IsLive(const void* record)
{
    return record && *static_cast<const LONG*>(record) != 0;
}

static bool IsSlotNumber(const ObjectRegistry* registry, ObjectNumber number)
{
    return number >= 0 && number < registry->capacity;
}

// Identities are only ever believed when the list really holds them, so a
// stray value is never read as an address.
static bool IsAutoIdentity(const ObjectRegistry* registry, ObjectNumber number)
{
    return !IsSlotNumber(registry, number) && number != AutoNumber && number != 0 &&
           FindLinkedBlock(registry->autoList, reinterpret_cast<void*>(number)) != NULL;
}

ObjectRegistry* CreateObjectRegistry(LONG recordSize, LONG slotCount, ReleaseCallback onRelease)
{
    if (recordSize < static_cast<LONG>(sizeof(LONG)) || slotCount < 1)
        return NULL;
    ObjectRegistry* registry = static_cast<ObjectRegistry*>(
        HeapAlloc(ProgramHeap, HEAP_ZERO_MEMORY, sizeof(ObjectRegistry)));
    if (!registry)
        return NULL;
    registry->slots = static_cast<void**>(
        HeapAlloc(ProgramHeap, HEAP_ZERO_MEMORY, slotCount * sizeof(void*)));
    if (!registry->slots) {
        HeapFree(ProgramHeap, 0, registry);
        return NULL;
    }
    registry->recordSize = recordSize;
    registry->growthStep = slotCount;
    registry->capacity = slotCount;
    registry->onRelease = onRelease;
    return registry;
}

// Grows the table straight to number + growthStep slots, the new ones empty.
// On failure the table and capacity stay as they were.
static bool GrowSlots(ObjectRegistry* registry, ObjectNumber number)
{
    if (number > MAXLONG - registry->growthStep)
        return false;
    LONG capacity = static_cast<LONG>(number) + registry->growthStep;
    if (static_cast<SIZE_T>(capacity) > MAXLONG_PTR / sizeof(void*))
        return false;
    void** slots = static_cast<void**>(HeapReAlloc(
        ProgramHeap, HEAP_ZERO_MEMORY, registry->slots, capacity * sizeof(void*)));
    if (!slots)
        return false;
    registry->slots = slots;
    registry->capacity = capacity;
    return true;
}

void* ObtainObject(ObjectRegistry* registry, ObjectNumber number)
{
    if (!registry || number < AutoNumber)
        return NULL;
    if (number == AutoNumber)
        return PushLinkedBlock(&registry->autoList, registry->recordSize);
    if (number >= registry->capacity && !GrowSlots(registry, number))
        return NULL;
    void* record = registry->slots[number];
    if (record) {
        if (registry->onRelease)
            registry->onRelease(number);
        return record;
    }
    record = HeapAlloc(ProgramHeap, HEAP_ZERO_MEMORY, registry->recordSize);
    registry->slots[number] = record;
    return record;
}

void* FindObject(ObjectRegistry* registry, ObjectNumber number)
{
    if (!registry)
        return NULL;
    void* candidate = NULL;
    if (IsSlotNumber(registry, number))
        candidate = registry->slots[number];
    else if (IsAutoIdentity(registry, number))
        candidate = reinterpret_cast<void*>(number);
    return IsLive(candidate) ? candidate : NULL;
}

void ReleaseObject(ObjectRegistry* registry, ObjectNumber number)
{
    if (!registry)
        return;
    if (IsSlotNumber(registry, number)) {
        if (registry->slots[number])
            memset(registry->slots[number], 0, registry->recordSize);
    } else if (IsAutoIdentity(registry, number)) {
        UnlinkLinkedBlock(&registry->autoList, reinterpret_cast<void*>(number));
    }
}

void BeginObjectScan(ObjectRegistry* registry)
{
    registry->scanIndex = 0;
    LinkedBlock* tail = registry->autoList;
    while (tail && tail->next)
        tail = tail->next;
    registry->scanBlock = tail;
}

void* NextLiveObject(ObjectRegistry* registry, ObjectNumber* number)
{
    while (registry->scanIndex >= 0 && registry->scanIndex < registry->capacity) {
        LONG index = registry->scanIndex++;
        void* record = registry->slots[index];
        if (IsLive(record)) {
            *number = index;
            return record;
        }
    }
    LinkedBlock* block = registry->scanBlock;
    if (!block)
        return NULL;
    registry->scanBlock = block->previous;
    void* payload = LinkedBlockPayload(block);
    *number = reinterpret_cast<ObjectNumber>(payload);
    return payload;
}

void ReleaseAllObjects(ObjectRegistry* registry)
{
    if (!registry || !registry->onRelease)
        return;
    BeginObjectScan(registry);
    ObjectNumber number;
    while (NextLiveObject(registry, &number))
        registry->onRelease(number);
}
