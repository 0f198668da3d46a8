// The ordered list of a node's child nodes or items. Elements keep the order
// in which they were appended; a position names one element and stays valid
// while other elements are removed, until the list is compacted. The list
// owns its elements: it deletes those it was handed from the heap and only
// destroys those placed in their tree's storage (TreeStorage.h).
//
// The cells are a heap array that grows as elements are appended, or an
// array of exactly the loaded elements in the tree's storage, which a loader
// hands over whole.
//
// Looking a name up returns exactly the first element in list order whose
// name matches (NameMatch.h). The comparison's lookups go through a CLookup
// that the pass keeps while it visits the list: short lists are scanned, a
// longer one gets an index of its names the first time it is searched. The
// list itself holds no index, which keeps a node small.
#pragma once

#include "compare/CompareName.h"
#include "compare/NameMatch.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// 0 is no position; otherwise the cell's index plus one.
using ListPosition = uint32_t;

template <class T>
class CCompareList {
private:
    struct CIndex;

public:
    CCompareList() = default;
    ~CCompareList() { RemoveAll(); }
    CCompareList(const CCompareList&) = delete;
    CCompareList& operator=(const CCompareList&) = delete;

    bool IsEmpty() const { return GetCount() == 0; }
    uint32_t GetCount() const { return m_nCount & ~kInStorage; }

    ListPosition GetHeadPosition() const { return NextLive(0); }
    // The element at pos; pos moves on to the next element, or 0 at the end.
    T* GetNext(ListPosition& pos) const
    {
        T* element = GetAt(pos);
        pos = NextLive(pos);
        return element;
    }
    T* GetAt(ListPosition pos) const
    {
        return pos != 0 && pos <= m_nSize ? m_cells[pos - 1] : nullptr;
    }

    T* AddTail(std::unique_ptr<T> element)
    {
        MakeRoom();
        return Push(element.release());
    }

    // Takes over count elements whose cells, in list order, lie in storage
    // that outlives the list. An empty list uses the cells themselves; a list
    // that holds elements already appends them one by one.
    void Adopt(T** cells, uint32_t count)
    {
        if (m_nSize != 0 || count == 0 || count > kMaxSize) {
            for (uint32_t i = 0; i < count; ++i) {
                MakeRoom();
                Push(cells[i]);
            }
            return;
        }
        FreeCells();
        m_cells = cells;
        m_nSize = count;
        m_nCount = count | kInStorage;
    }

    // Deletes the element at pos. Other positions stay valid; when the list
    // becomes empty its cells are released.
    void RemoveAt(ListPosition pos)
    {
        T* element = GetAt(pos);
        if (!element)
            return;
        m_cells[pos - 1] = nullptr;
        Dispose(element);
        if (--m_nCount == 0 || m_nCount == kInStorage)
            FreeCells();
    }

    // Closes the gaps left by removals and returns the unused room of a heap
    // array. Every position taken before is invalid afterwards.
    void Compact()
    {
        uint32_t size = m_nSize;
        if (size != GetCount()) {
            uint32_t kept = 0;
            for (uint32_t i = 0; i < size; ++i)
                if (m_cells[i])
                    m_cells[kept++] = m_cells[i];
            m_nSize = kept;
        }
        if (m_cells && !CellsInStorage() && Room(m_nSize) < Room(size))
            Reallocate(Room(m_nSize));
    }

    // Hands every element over to the caller, in list order; the list is empty.
    void TakeAll(std::vector<T*>& out)
    {
        for (uint32_t i = 0; i < m_nSize; ++i)
            if (m_cells[i])
                out.push_back(m_cells[i]);
        FreeCells();
    }

    // Deletes every element in list order.
    void RemoveAll()
    {
        for (uint32_t i = 0; i < m_nSize; ++i)
            if (T* element = m_cells[i]) {
                m_cells[i] = nullptr;
                Dispose(element);
            }
        FreeCells();
    }

    // Forgets every element without deleting any: whoever calls it has taken
    // them over.
    void Abandon() { FreeCells(); }

    // Deletes an element of no list: from the heap, or destroyed only when
    // it lies in its tree's storage.
    static void Dispose(T* element)
    {
        if (element->IsPlaced())
            element->~T();
        else
            delete element;
    }

    // Position of the first element whose name matches, or 0.
    ListPosition Find(const CCompareName& name) const
    {
        for (ListPosition pos = GetHeadPosition(); pos; pos = NextLive(pos))
            if (NamesMatch(m_cells[pos - 1]->GetStoredName(), name))
                return pos;
        return 0;
    }

    // What the lookups in one list have learnt: the index of its names,
    // built by the first lookup that needs it, and how many of its first
    // cells are paired. It serves only while the list does not change and
    // its elements only gain opposites, as during a pass.
    class CLookup {
    private:
        friend class CCompareList;
        std::unique_ptr<CIndex> m_pIndex;
        uint32_t m_nPaired = 0;
    };

    // Position of the counterpart for an entry of the other tree named name:
    // the first element in list order whose name matches and that has no
    // opposite yet, or 0. So the k-th of several siblings whose names match in
    // one tree is paired with the k-th in the other, and an element is never
    // taken away from the entry it is already linked to.
    ListPosition FindUnpaired(const CCompareName& name, CLookup& lookup) const
    {
        // A pass mostly meets the names in list order, so the first unpaired
        // element is tried first: when it matches, it is the answer, found
        // without touching any other element or building an index.
        uint32_t first = lookup.m_nPaired;
        while (first < m_nSize && (!m_cells[first] || m_cells[first]->GetOpposite()))
            ++first;
        lookup.m_nPaired = first;
        if (first == m_nSize)
            return 0;
        if (NamesMatch(m_cells[first]->GetStoredName(), name))
            return first + 1;
        if (!UseIndex()) {
            for (uint32_t i = first + 1; i < m_nSize; ++i) {
                const T* element = m_cells[i];
                if (element && !element->GetOpposite() && NamesMatch(element->GetStoredName(), name))
                    return i + 1;
            }
            return 0;
        }
        if (!lookup.m_pIndex)
            lookup.m_pIndex = BuildIndex();
        CIndex& index = *lookup.m_pIndex;
        const Slot* slot = index.Lookup(name, *this);
        if (!slot)
            return 0;
        if (slot->group == 0)
            return GetAt(slot->position)->GetOpposite() ? 0 : slot->position;
        // Elements only gain opposites while the index lives, so the ones the
        // cursor has passed are never unpaired again: each lookup is cheap
        // even when a hostile file repeats one name a million times.
        CGroup& group = index.groups[slot->group - 1];
        while (group.cursor < group.positions.size()) {
            ListPosition pos = group.positions[group.cursor];
            if (!GetAt(pos)->GetOpposite())
                return pos;
            ++group.cursor;
        }
        return 0;
    }

    class CIterator {
    public:
        CIterator(const CCompareList* list, ListPosition pos) : m_list(list), m_pos(pos) {}
        T* operator*() const { return m_list->GetAt(m_pos); }
        CIterator& operator++()
        {
            m_pos = m_list->NextLive(m_pos);
            return *this;
        }
        bool operator!=(const CIterator& other) const { return m_pos != other.m_pos; }

    private:
        const CCompareList* m_list;
        ListPosition m_pos;
    };
    CIterator begin() const { return CIterator(this, GetHeadPosition()); }
    CIterator end() const { return CIterator(this, 0); }

private:
    // Lists up to this long are scanned rather than indexed when their first
    // unpaired element is not the partner: for a folder's few files a scan
    // costs less than building an index.
    static constexpr uint32_t kScanLimit = 32;

    struct Slot {
        uint32_t hash;
        ListPosition position;  // of the first element with this name; 0 for a free slot
        uint32_t group;         // 1 + index into groups when the name occurs more than once
    };
    struct CGroup {
        std::vector<ListPosition> positions;  // every element with the name, in list order
        size_t cursor = 0;                    // positions before it are paired
    };
    struct CIndex {
        std::vector<Slot> slots;
        std::vector<CGroup> groups;

        const Slot* Lookup(const CCompareName& name, const CCompareList& list) const
        {
            uint32_t hash = NameMatchHash(name);
            size_t mask = slots.size() - 1;
            for (size_t i = Spread(hash) & mask;; i = (i + 1) & mask) {
                const Slot& slot = slots[i];
                if (slot.position == 0)
                    return nullptr;
                if (slot.hash == hash &&
                    NamesMatch(list.GetAt(slot.position)->GetStoredName(), name))
                    return &slot;
            }
        }
    };

    static size_t Spread(uint32_t hash) { return (hash ^ (hash >> 15)) * 0x2C1B3C6Du; }

    bool UseIndex() const { return GetCount() > kScanLimit; }

    ListPosition NextLive(ListPosition pos) const
    {
        for (uint32_t i = pos; i < m_nSize; ++i)
            if (m_cells[i])
                return i + 1;
        return 0;
    }

    bool CellsInStorage() const { return (m_nCount & kInStorage) != 0; }

    // The room of a heap array of size cells: at least 4, else the next power
    // of two. The list keeps no capacity: its heap array has at least this
    // room for its size at all times.
    static uint32_t Room(uint32_t size)
    {
        uint32_t room = 4;
        while (room < size)
            room *= 2;
        return room;
    }

    // Room for one more cell; a list adopted from storage has none, so its
    // first append moves it to the heap.
    void MakeRoom()
    {
        if (m_cells && !CellsInStorage() && m_nSize < Room(m_nSize))
            return;
        if (m_nSize >= kMaxSize)
            throw std::bad_alloc();
        Reallocate(Room(m_nSize + 1));
    }

    T* Push(T* element)
    {
        m_cells[m_nSize++] = element;
        ++m_nCount;
        return element;
    }

    // Moves the cells to a heap array of room cells.
    void Reallocate(uint32_t room)
    {
        T** cells = new T*[room];
        if (m_nSize)
            std::memcpy(cells, m_cells, m_nSize * sizeof(T*));
        if (m_cells && !CellsInStorage())
            delete[] m_cells;
        m_cells = cells;
        m_nCount &= ~kInStorage;
    }

    // Forgets every cell, freeing a heap array.
    void FreeCells()
    {
        if (m_cells && !CellsInStorage())
            delete[] m_cells;
        m_cells = nullptr;
        m_nSize = m_nCount = 0;
    }

    std::unique_ptr<CIndex> BuildIndex() const
    {
        auto index = std::make_unique<CIndex>();
        size_t capacity = 16;
        while (capacity < 2 * static_cast<size_t>(GetCount()))
            capacity *= 2;
        index->slots.assign(capacity, Slot{0, 0, 0});
        size_t mask = capacity - 1;
        for (ListPosition pos = GetHeadPosition(); pos; pos = NextLive(pos)) {
            const CCompareName& name = m_cells[pos - 1]->GetStoredName();
            uint32_t hash = NameMatchHash(name);
            for (size_t i = Spread(hash) & mask;; i = (i + 1) & mask) {
                Slot& slot = index->slots[i];
                if (slot.position == 0) {
                    slot = Slot{hash, pos, 0};
                    break;
                }
                if (slot.hash == hash && NamesMatch(GetAt(slot.position)->GetStoredName(), name)) {
                    if (slot.group == 0) {
                        index->groups.emplace_back();
                        index->groups.back().positions.push_back(slot.position);
                        slot.group = static_cast<uint32_t>(index->groups.size());
                    }
                    index->groups[slot.group - 1].positions.push_back(pos);
                    break;
                }
            }
        }
        return index;
    }

    // Set in m_nCount when the cells lie in the tree's storage.
    static constexpr uint32_t kInStorage = 0x80000000u;
    static constexpr uint32_t kMaxSize = kInStorage - 1;

    T** m_cells = nullptr;  // removed elements leave null cells
    uint32_t m_nSize = 0;   // cells in use
    uint32_t m_nCount = 0;  // elements in the list, and kInStorage
};
