#include "fileio/ObjectRegistry.h"
#include "fileio/ProgramHeap.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <climits>

namespace {

struct Record {
    LONG alive;
    LONG value;
};

ObjectRegistry* Registry;
std::vector<ObjectNumber> Released;

LONG RecordRelease(ObjectNumber number)
{
    Released.push_back(number);
    ReleaseObject(Registry, number);
    return 0;
}

Record* ObtainLive(ObjectNumber number)
{
    auto* record = static_cast<Record*>(ObtainObject(Registry, number));
    if (record)
        record->alive = 1;
    return record;
}

class ObjectRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        Released.clear();
        Registry = CreateObjectRegistry(sizeof(Record), 16, RecordRelease);
        ASSERT_NE(Registry, nullptr);
    }
};

} // namespace

TEST_F(ObjectRegistryTest, SlotTableGrowsStraightToTheRequestedNumberPlusTheStep)
{
    ObtainLive(15);
    EXPECT_EQ(Registry->capacity, 16);
    ObtainLive(16);
    EXPECT_EQ(Registry->capacity, 32);
    ObtainLive(40);
    EXPECT_EQ(Registry->capacity, 56);
    for (int slot = 17; slot < 56; ++slot)
        EXPECT_EQ(Registry->slots[slot] != nullptr, slot == 40) << slot;
    EXPECT_NE(FindObject(Registry, 15), nullptr);
    EXPECT_NE(FindObject(Registry, 40), nullptr);
}

TEST_F(ObjectRegistryTest, ReleasedSlotRecordsComeBackZeroedWithoutANewAllocation)
{
    Record* first = ObtainLive(3);
    first->value = 7;
    HeapCensus before = TakeHeapCensus(ProgramHeap);

    Record* again = ObtainLive(3);  // live: released once through the callback
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->value, 0);
    EXPECT_EQ(Released, std::vector<ObjectNumber>{3});

    ReleaseObject(Registry, 3);
    EXPECT_EQ(FindObject(Registry, 3), nullptr);
    EXPECT_EQ(ObtainObject(Registry, 3), first);  // merely free: still one callback
    EXPECT_EQ(Released, (std::vector<ObjectNumber>{3, 3}));
    EXPECT_EQ(TakeHeapCensus(ProgramHeap).blocks, before.blocks);
}

TEST_F(ObjectRegistryTest, ReleaseAllGoesThroughSlotsAscendingThenAutoRecordsOldestFirst)
{
    ObtainLive(3);
    ObtainLive(0);
    ObtainObject(Registry, 7);  // free, never live: skipped
    auto a = reinterpret_cast<ObjectNumber>(ObtainLive(AutoNumber));
    auto b = reinterpret_cast<ObjectNumber>(ObtainLive(AutoNumber));
    size_t blocksWithAutoRecords = TakeHeapCensus(ProgramHeap).blocks;

    ReleaseAllObjects(Registry);  // the callback frees each auto record as it is visited

    EXPECT_EQ(Released, (std::vector<ObjectNumber>{0, 3, a, b}));
    EXPECT_EQ(Registry->autoList, nullptr);
    EXPECT_EQ(TakeHeapCensus(ProgramHeap).blocks, blocksWithAutoRecords - 2);
    EXPECT_EQ(FindObject(Registry, 0), nullptr);
    EXPECT_EQ(FindObject(Registry, a), nullptr);
}

TEST_F(ObjectRegistryTest, LinkedListStaysConsistentWhenHeadMiddleAndTailAreUnlinked)
{
    LinkedBlock* head = nullptr;
    void* payloads[5];
    for (void*& payload : payloads)
        payload = PushLinkedBlock(&head, 12);
    auto blockOf = [](void* payload) { return static_cast<LinkedBlock*>(payload) - 1; };
    auto walk = [&] {
        std::vector<void*> newestFirst;
        for (LinkedBlock* block = head; block; block = block->next) {
            if (block->next) {
                EXPECT_EQ(block->next->previous, block);
            }
            newestFirst.push_back(LinkedBlockPayload(block));
        }
        if (head) {
            EXPECT_EQ(head->previous, nullptr);
        }
        return newestFirst;
    };
    EXPECT_EQ(walk(), (std::vector<void*>{payloads[4], payloads[3], payloads[2], payloads[1], payloads[0]}));

    UnlinkLinkedBlock(&head, payloads[4]);  // head
    UnlinkLinkedBlock(&head, payloads[2]);  // middle
    UnlinkLinkedBlock(&head, payloads[0]);  // tail
    EXPECT_EQ(walk(), (std::vector<void*>{payloads[3], payloads[1]}));
    EXPECT_EQ(blockOf(payloads[1])->next, nullptr);

    UnlinkLinkedBlock(&head, payloads[3]);
    UnlinkLinkedBlock(&head, payloads[1]);
    EXPECT_EQ(head, nullptr);
}

TEST_F(ObjectRegistryTest, ValuesThatNameNoObjectAreAnsweredAsNone)
{
    ObtainLive(0);
    auto gone = reinterpret_cast<ObjectNumber>(ObtainLive(AutoNumber));
    ReleaseObject(Registry, gone);
    LONG onStack = 1;
    const ObjectNumber strays[] = {-1, -2, LONG_MIN, 16, 0x7FFFFFFF, gone,
                                   reinterpret_cast<ObjectNumber>(&onStack), 0x10, 0x1000};
    for (ObjectNumber stray : strays) {
        EXPECT_EQ(FindObject(Registry, stray), nullptr) << stray;
        ReleaseObject(Registry, stray);
    }
    EXPECT_EQ(ObtainObject(Registry, -2), nullptr);
    EXPECT_EQ(ObtainObject(Registry, LONG_MIN), nullptr);
    EXPECT_EQ(ObtainObject(Registry, 0x7FFFFFFF), nullptr);  // no table that large
    EXPECT_EQ(Registry->capacity, 16);
    EXPECT_NE(FindObject(Registry, 0), nullptr);
}

TEST_F(ObjectRegistryTest, AnExhaustedHeapFailsTheRequestAndLeavesTheRegistryAsItWas)
{
    ScopedProgramHeap small(64 * 1024);
    Registry = CreateObjectRegistry(sizeof(Record), 16, RecordRelease);
    ASSERT_NE(Registry, nullptr);
    ObtainLive(1);
    ExhaustHeap(ProgramHeap);
    EXPECT_EQ(ObtainObject(Registry, 5000), nullptr);
    EXPECT_EQ(Registry->capacity, 16);
    EXPECT_EQ(ObtainObject(Registry, AutoNumber), nullptr);
    EXPECT_EQ(Registry->autoList, nullptr);
    EXPECT_NE(FindObject(Registry, 1), nullptr);
}
