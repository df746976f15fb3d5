#pragma once
#include <windows.h>

// A zeroed ProgramHeap block with two links in front of the caller's payload.
// A list is a head pointer to the newest block (null when empty); callers hold
// payload addresses, the header sits immediately before each payload.
struct LinkedBlock {
    LinkedBlock* next;      // toward older blocks; null at the tail
    LinkedBlock* previous;  // toward newer blocks; null at the head
};

// Pushes a zeroed block at the head and returns its payload, or null (list
// unchanged) when the heap is exhausted.
void* PushLinkedBlock(LinkedBlock** head, SIZE_T payloadSize);

// Takes the block of payload out of the list and frees it.
void UnlinkLinkedBlock(LinkedBlock** head, void* payload);

// The block whose payload this is, or null when payload is not in the list.
LinkedBlock* FindLinkedBlock(LinkedBlock* head, const void* payload);

inline void* LinkedBlockPayload(LinkedBlock* block) { return block + 1; }
