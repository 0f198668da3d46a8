// Small owning objects that carry a type tag, spoiled by the destructor, so an
// object can be asked whether it is still alive and of the expected kind. Those
// that cannot be made raise the abort signal.
#pragma once

#include "seams/Abort.h"

#include <cstddef>
#include <cstdint>

class CTaggedObject {
public:
    explicit CTaggedObject(uint16_t tag) : m_tag(tag), m_tagCopy(tag) {}
    virtual ~CTaggedObject() { m_tag = 0; }
    virtual bool IsValid() const { return m_tag == m_tagCopy; }

    CTaggedObject(const CTaggedObject&) = delete;
    CTaggedObject& operator=(const CTaggedObject&) = delete;

private:
    volatile uint16_t m_tag;
    uint16_t m_tagCopy;
};

enum : uint16_t {
    kTagRegKeyHandle = 1,
    kTagCharBuffer = 3,
    kTagByteBuffer = 5,
    kTagOperation = 24,
};

// Bytes of registry value data. Its block grows only; contents are not kept
// across growth.
class CByteBuffer : public CTaggedObject {
public:
    CByteBuffer() : CTaggedObject(kTagByteBuffer) {}
    explicit CByteBuffer(uint32_t size);  // raises the abort signal when out of memory
    ~CByteBuffer() override;

    bool Allocate(uint32_t size, bool owned = true);
    bool Ensure(uint32_t n);
    void Zero();
    // Hands the block to the caller, who frees it with delete[]; the buffer becomes empty.
    uint8_t* Detach();

    uint8_t* Data() const { return m_data; }
    uint32_t Size() const { return m_size; }

private:
    uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    bool m_owned = true;
};

// Characters of names and key paths, always with room for a terminator.
class CCharBuffer : public CTaggedObject {
public:
    CCharBuffer() : CTaggedObject(kTagCharBuffer) {}
    ~CCharBuffer() override;

    bool Reserve(uint32_t n);
    void Zero();
    // Room for n characters and a terminator, keeping the contents; null when out of memory.
    char* GetBuffer(uint32_t n);

    char* Data() const { return m_data; }
    uint32_t Capacity() const { return m_capacity; }

private:
    void Release();

    char* m_data = nullptr;
    uint32_t m_capacity = 0;  // bytes, terminator included
    bool m_owned = false;
};
