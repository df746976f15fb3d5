#include "LinkedBlock.h"
#include "ProgramHeap.h"

void* PushLinkedBlock(LinkedBlock** head, SIZE_T payloadSize)
{
    if (payloadSize > MAXLONG_PTR - sizeof(LinkedBlock))
        return NULL;
    LinkedBlock* block = static_cast<LinkedBlock*>(
        HeapAlloc(ProgramHeap, HEAP_ZERO_MEMORY, sizeof(LinkedBlock) + payloadSize));
    if (!block)
        return NULL;
    if (*head) {
        (*head)->previous = block;
        block->next = *head;
    }
    *head = block;
    return LinkedBlockPayload(block);
}

void UnlinkLinkedBlock(LinkedBlock** head, void* payload)
{
    LinkedBlock* block = static_cast<LinkedBlock*>(payload) - 1;
    if (block == *head) {
        *head = block->next;
        if (*head)
            (*head)->previous = NULL;
    } else {
        block->previous->next = block->next;
        if (block->next)
            block->next->previous = block->previous;
    }
    HeapFree(ProgramHeap, 0, block);
}

LinkedBlock* FindLinkedBlock(LinkedBlock* head, const void* payload)
{
    for (LinkedBlock* block = head; block; block = block->next)
        if (LinkedBlockPayload(block) == payload)
            return block;
    return NULL;
}
