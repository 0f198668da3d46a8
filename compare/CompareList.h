// The ordered list of a node's child nodes or items. Elements keep the order
// in which they were appended; a position names one element and stays valid
// while other elements are removed, until the list is compacted.
//
// The list owns nothing: its elements and its cells lie in their tree's
// storage (TreeStorage.h) and go with it. A loader hands over the cells of
// exactly the loaded elements at once; a list that grows one element at a
// time takes arrays of doubling room from the storage.
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
    CCompareList(const CCompareList&) = delete;
    CCompareList& operator=(const CCompareList&) = delete;

    bool IsEmpty() const { return GetCount() == 0; }
    uint32_t GetCount() const { return m_nCount & ~kExactRoom; }

    ListPosition GetHeadPosition() const { return NextLive(0); }
    // The element at pos; pos moves on to the next element, or 0 at the end.
    T* GetNext(ListPosition& pos) const
    {
        T* element = GetAt(pos);
        pos = NextLive(pos);
        return element;
    }
    ListPosition GetTailPosition() const { return PrevLive(m_nSize + 1); }
    // The position before pos, or 0 at the head.
    ListPosition GetPrevPosition(ListPosition pos) const { return PrevLive(pos); }
    ListPosition GetNextPosition(ListPosition pos) const { return NextLive(pos); }
    // Where the element lies in the list, or 0; a scan.
    ListPosition PositionOf(const T* element) const
    {
        for (uint32_t i = 0; i < m_nSize; ++i)
            if (m_cells[i] == element)
                return i + 1;
        return 0;
    }
    T* GetAt(ListPosition pos) const
    {
        return pos != 0 && pos <= m_nSize ? m_cells[pos - 1] : nullptr;
    }

    // Appends element; a full array moves to one of twice the room in storage.
    template <class Storage>
    T* AddTail(Storage& storage, T* element)
    {
        if (m_nSize >= kMaxSize)
            throw std::bad_alloc();
        if (!m_cells || (m_nCount & kExactRoom) || m_nSize == Room(m_nSize)) {
            T** cells = storage.template Cells<T>(Room(m_nSize + 1));
            if (m_nSize)
                std::memcpy(cells, m_cells, m_nSize * sizeof(T*));
            m_cells = cells;
            m_nCount &= ~kExactRoom;
        }
        m_cells[m_nSize++] = element;
        ++m_nCount;
        return element;
    }

    // Takes over the count elements of an empty list, whose cells, in list
    // order, lie in the storage of the list's tree.
    void Adopt(T** cells, uint32_t count)
    {
        if (count == 0)
            return;
        m_cells = cells;
        m_nSize = count;
        m_nCount = count | kExactRoom;
    }

    // Takes the element at pos out of the list and returns it. Other
    // positions stay valid.
    T* RemoveAt(ListPosition pos)
    {
        T* element = GetAt(pos);
        if (!element)
            return nullptr;
        m_cells[pos - 1] = nullptr;
        if ((--m_nCount & ~kExactRoom) == 0)
            Clear();
        return element;
    }

    // Puts element in the place of the one at pos, which leaves the list.
    void ReplaceAt(ListPosition pos, T* element)
    {
        if (GetAt(pos))
            m_cells[pos - 1] = element;
    }

    // Takes the element at pos out of the list for a while: unlike RemoveAt
    // the cells stay, however few elements are left, so that PutBack can
    // return it to its place.
    T* TakeOutAt(ListPosition pos)
    {
        T* element = GetAt(pos);
        if (!element)
            return nullptr;
        m_cells[pos - 1] = nullptr;
        --m_nCount;
        return element;
    }
    // Returns an element that TakeOutAt took from pos, with no compaction
    // since.
    void PutBack(ListPosition pos, T* element)
    {
        m_cells[pos - 1] = element;
        ++m_nCount;
    }

    // Closes the gaps left by removals. Every position taken before is
    // invalid afterwards.
    void Compact()
    {
        if (m_nSize == GetCount())
            return;
        uint32_t kept = 0;
        for (uint32_t i = 0; i < m_nSize; ++i)
            if (m_cells[i])
                m_cells[kept++] = m_cells[i];
        // The rest of the array is room no longer counted.
        m_nSize = kept;
        m_nCount = kept | kExactRoom;
    }

    // Forgets every element and cell.
    void Clear()
    {
        m_cells = nullptr;
        m_nSize = m_nCount = 0;
    }

    // Position of the first element whose name matches, or 0.
    ListPosition Find(const CCompareName& name, Exactness exactness = Exactness::Recorded) const
    {
        for (ListPosition pos = GetHeadPosition(); pos; pos = NextLive(pos))
            if (NamesMatch(m_cells[pos - 1]->GetStoredName(), name, exactness))
                return pos;
        return 0;
    }

    // What the lookups in one list have learnt: the index of its names,
    // built by the first lookup that needs it, and how many of its first
    // cells are paired. It serves only while the list does not change and
    // its elements only gain opposites, as during a pass.
    // exactness: which forms of the names are matched.
    class CLookup {
    public:
        explicit CLookup(Exactness exactness = Exactness::Recorded) : m_exactness(exactness) {}

    private:
        friend class CCompareList;
        std::unique_ptr<CIndex> m_pIndex;
        uint32_t m_nPaired = 0;
        Exactness m_exactness;
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
        const Exactness exactness = lookup.m_exactness;
        if (NamesMatch(m_cells[first]->GetStoredName(), name, exactness))
            return first + 1;
        if (!UseIndex()) {
            for (uint32_t i = first + 1; i < m_nSize; ++i) {
                const T* element = m_cells[i];
                if (element && !element->GetOpposite() && NamesMatch(element->GetStoredName(), name, exactness))
                    return i + 1;
            }
            return 0;
        }
        if (!lookup.m_pIndex)
            lookup.m_pIndex = BuildIndex(exactness);
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
        Exactness exactness;

        const Slot* Lookup(const CCompareName& name, const CCompareList& list) const
        {
            uint32_t hash = NameMatchHash(name, exactness);
            size_t mask = slots.size() - 1;
            for (size_t i = Spread(hash) & mask;; i = (i + 1) & mask) {
                const Slot& slot = slots[i];
                if (slot.position == 0)
                    return nullptr;
                if (slot.hash == hash &&
                    NamesMatch(list.GetAt(slot.position)->GetStoredName(), name, exactness))
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

    ListPosition PrevLive(ListPosition pos) const
    {
        for (uint32_t i = pos > 0 ? pos - 1 : 0; i-- > 0;)
            if (m_cells[i])
                return i + 1;
        return 0;
    }

    // The room of an array that grew one element at a time for size cells:
    // at least 4, else the next power of two. The list keeps no capacity.
    static uint32_t Room(uint32_t size)
    {
        uint32_t room = 4;
        while (room < size)
            room *= 2;
        return room;
    }

    std::unique_ptr<CIndex> BuildIndex(Exactness exactness) const
    {
        auto index = std::make_unique<CIndex>();
        index->exactness = exactness;
        size_t capacity = 16;
        while (capacity < 2 * static_cast<size_t>(GetCount()))
            capacity *= 2;
        index->slots.assign(capacity, Slot{0, 0, 0});
        size_t mask = capacity - 1;
        for (ListPosition pos = GetHeadPosition(); pos; pos = NextLive(pos)) {
            const CCompareName& name = m_cells[pos - 1]->GetStoredName();
            uint32_t hash = NameMatchHash(name, exactness);
            for (size_t i = Spread(hash) & mask;; i = (i + 1) & mask) {
                Slot& slot = index->slots[i];
                if (slot.position == 0) {
                    slot = Slot{hash, pos, 0};
                    break;
                }
                if (slot.hash == hash && NamesMatch(GetAt(slot.position)->GetStoredName(), name, exactness)) {
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

    // Set in m_nCount when the array has room for exactly m_nSize cells (it
    // was adopted or compacted), rather than Room(m_nSize).
    static constexpr uint32_t kExactRoom = 0x80000000u;
    static constexpr uint32_t kMaxSize = kExactRoom - 1;

    T** m_cells = nullptr;  // removed elements leave null cells
    uint32_t m_nSize = 0;   // cells in use
    uint32_t m_nCount = 0;  // elements in the list, and kExactRoom
};
