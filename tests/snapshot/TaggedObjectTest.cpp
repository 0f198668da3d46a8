#include "snapshot/TaggedObject.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

namespace {

TEST(TaggedObject, ValidWhileAliveAndSpoiledByItsDestructor)
{
    alignas(CByteBuffer) unsigned char storage[sizeof(CByteBuffer)];
    CByteBuffer* buffer = new (storage) CByteBuffer();
    EXPECT_TRUE(buffer->IsValid());
    buffer->~CByteBuffer();
    // The storage is still ours: the tag the destructor left there must not
    // pass the check any more.
    uint16_t tags[2];
    std::memcpy(tags, storage + sizeof(void*), sizeof tags);
    EXPECT_NE(tags[0], tags[1]);
}

TEST(ByteBuffer, EnsureOnlyGrowsAndZeroFills)
{
    CByteBuffer b;
    EXPECT_EQ(b.Data(), nullptr);
    ASSERT_TRUE(b.Ensure(16));
    EXPECT_EQ(b.Size(), 16u);
    std::memset(b.Data(), 0xAB, 16);
    uint8_t* before = b.Data();
    ASSERT_TRUE(b.Ensure(8));  // smaller: nothing changes
    EXPECT_EQ(b.Data(), before);
    EXPECT_EQ(b.Size(), 16u);
    EXPECT_EQ(b.Data()[15], 0xAB);
    ASSERT_TRUE(b.Ensure(1 << 20));
    EXPECT_EQ(b.Size(), 1u << 20);
    for (uint32_t i = 0; i < b.Size(); i += 4093)
        ASSERT_EQ(b.Data()[i], 0) << i;
}

TEST(ByteBuffer, AllocateRefusesASecondBlock)
{
    CByteBuffer b;
    ASSERT_TRUE(b.Allocate(4));
    EXPECT_FALSE(b.Allocate(8));
    EXPECT_EQ(b.Size(), 4u);
}

TEST(ByteBuffer, DetachHandsOverTheBlock)
{
    CByteBuffer empty;
    EXPECT_EQ(empty.Detach(), nullptr);

    CByteBuffer b(5);
    b.Data()[4] = 7;
    uint8_t* block = b.Detach();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[4], 7);
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Size(), 0u);
    delete[] block;
    ASSERT_TRUE(b.Ensure(3));  // usable again afterwards
}

TEST(ByteBuffer, ANotOwnedBlockCannotGrow)
{
    CByteBuffer b;
    ASSERT_TRUE(b.Allocate(4, false));
    EXPECT_FALSE(b.Ensure(8));
    uint8_t* block = b.Detach();
    delete[] block;
}

TEST(CharBuffer, ReserveMakesRoomForTheTerminator)
{
    CCharBuffer c;
    ASSERT_TRUE(c.Reserve(16640));
    EXPECT_EQ(c.Capacity(), 16641u);
    EXPECT_EQ(c.Data()[0], 0);
    EXPECT_EQ(c.Data()[16640], 0);
    char* before = c.Data();
    ASSERT_TRUE(c.Reserve(100));  // big enough already
    EXPECT_EQ(c.Data(), before);
}

TEST(CharBuffer, GetBufferGrowsKeepingTheContents)
{
    CCharBuffer c;
    char* p = c.GetBuffer(4);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abcd", 5);
    p = c.GetBuffer(10);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(c.Capacity(), 11u);
    EXPECT_EQ(std::memcmp(p, "abcd", 5), 0);
    EXPECT_EQ(p[10], 0);
    EXPECT_EQ(c.GetBuffer(2), p);  // smaller: the same block
}

TEST(AbortSignal, CarriesMinusOne)
{
    try {
        RaiseAbortSignal();
        FAIL() << "no signal";
    } catch (const CAbortSignal& signal) {
        EXPECT_EQ(signal.value, -1);
    }
}

}  // namespace
