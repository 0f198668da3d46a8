// The storage that loaded trees lie in, and what it can break: blocks that
// overlap or misalign, names that point into freed or moved bytes, lists that
// lose positions or dispose of an entry the wrong way, trees that outlive it.
#include "compare/FSFile.h"
#include "compare/FSMine.h"
#include "compare/FSNode.h"
#include "compare/TreeListing.h"
#include "compare/TreeMove.h"
#include "compare/TreeStorage.h"
#include "compare/RegMine.h"
#include "compare/RegNode.h"
#include "compare/RegVal.h"
#include "tests/compare/FSSnapBuilder.h"
#include "tests/compare/RegSnapBuilder.h"
#include "tests/support/Recorders.h"
#include "tests/support/ViewerRecorder.h"

#include <gtest/gtest.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define STORAGE_POISONED 1
#endif
#endif

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

CFSFile* PlacedFile(CTreeStorage& storage, const std::string& name, CCompareNode* parent)
{
    return storage.Create<CFSFile>(storage.Name(name), 1, 2, 3, parent);
}

// 20,000 keys below SOFTWARE with one equal value each, and in the key-th
// of them a value of size bytes of fill, which gets a block of its own.
TRegistry KeysWithOneLargeValue(int key, const std::string& name, size_t size, uint8_t fill)
{
    TRegistry r;
    TKey software{"SOFTWARE", {}, {}};
    for (int k = 0; k < 20000; ++k)
        software.subkeys.push_back(TKey{"key " + std::to_string(k), {Dword("same", 1)}, {}});
    software.subkeys[key].values.push_back(TValue{name, 3, std::vector<uint8_t>(size, fill)});
    r.machine.subkeys.push_back(software);
    return r;
}

TEST(TreeStorage, PiecesAreAlignedAndKeepTheirBytes)
{
    // Small pieces fill blocks; the large ones get blocks of their own while
    // the block being carved goes on serving the small ones.
    const struct {
        size_t size;
        size_t alignment;
    } requests[] = {{1, 1}, {3, 1}, {8, 8}, {24, 8}, {5, 4}, {200000, 8}, {16, 16}, {7, 1},
                    {3000000, 16}, {88, 8}, {0, 8}, {6000, 8}, {12, 4}};
    CTreeStorage storage;
    std::vector<std::pair<unsigned char*, size_t>> pieces;
    for (int round = 0; round < 500; ++round)
        for (const auto& r : requests) {
            auto* p = static_cast<unsigned char*>(storage.Allocate(r.size, r.alignment));
            ASSERT_EQ(reinterpret_cast<uintptr_t>(p) % r.alignment, 0u) << r.size;
            std::memset(p, static_cast<int>(pieces.size() & 0xFF), r.size);
            pieces.emplace_back(p, r.size);
            if (r.size > 100000 && round > 2)
                break;  // a few large ones are enough
        }
    for (size_t i = 0; i < pieces.size(); ++i)
        for (size_t k = 0; k < pieces[i].second; k += 997)
            ASSERT_EQ(pieces[i].first[k], i & 0xFF) << "piece " << i << " was overwritten";
    EXPECT_GT(storage.BlockBytes(), 3000000u);
    storage.Release();
    EXPECT_EQ(storage.BlockBytes(), 0u);
    // Usable again after a release.
    EXPECT_NE(storage.Allocate(10, 8), nullptr);
}

TEST(TreeStorage, NamesOfEveryLengthReadBackAfterMoves)
{
    CTreeStorage storage;
    for (size_t length : {0u, 1u, 21u, 22u, 23u, 200u, 65535u}) {
        std::string text(length, 'n');
        for (size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>('a' + i % 26);
        CCompareName name = storage.Name(text);
        CCompareName moved(std::move(name));
        CCompareName assigned;
        assigned = std::move(moved);
        EXPECT_EQ(assigned.view(), text) << length;
        EXPECT_EQ(assigned.c_str()[length], 0) << length;
        EXPECT_TRUE(NamesMatch(assigned, CCompareName(text)));
    }
}

TEST(TreeStorage, NamesPackedBesideEntriesLeaveEveryEntryWhole)
{
    // Names are taken from the end of the block whose start serves the
    // entries: lengths around the one-byte and five-byte length forms, and
    // ones too long for a shared block, must neither overlap an entry nor
    // leave one misaligned.
    const size_t lengths[] = {0, 1, 2, 22, 23, 253, 254, 255, 256, 1000, 9000, 70000};
    CTreeStorage storage;
    CFSNode root(CCompareName("File System 1"), nullptr);
    std::vector<std::string> names;
    std::vector<CFSFile*> files;
    for (int i = 0; i < 3000; ++i) {
        size_t length = lengths[i % 12] + i % 3;
        std::string name(length, 'a');
        for (size_t k = 0; k < length; ++k)
            name[k] = static_cast<char>('a' + (i + k) % 26);
        names.push_back(name);
        files.push_back(storage.Create<CFSFile>(storage.Name(name), 1000u + i, 2000u + i, 3000u + i, &root));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(files.back()) % alignof(CFSFile), 0u) << i;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        ASSERT_EQ(files[i]->GetStoredName().view(), names[i]) << i;
        ASSERT_EQ(files[i]->GetStoredName().c_str()[names[i].size()], 0) << i;
        ASSERT_EQ(files[i]->GetCreated(), 1000u + i);
        ASSERT_EQ(files[i]->GetModified(), 2000u + i);
        ASSERT_EQ(files[i]->GetSize(), 3000u + i);
        ASSERT_EQ(files[i]->GetParent(), &root);
    }
}

TEST(TreeStorage, AMovedTreeKeepsNoByteOfTheStorageItLeft)
{
    CTreeStorage loaded, fresh;
    CCompareNode* root = loaded.Create<CFSNode>(loaded.Name("File System 1"), nullptr);
    root->AddItem(loaded, PlacedFile(loaded, "named in the storage", root));
    CCompareNode* moved = MoveTreeInto(*root, fresh, UINT64_MAX);
    ASSERT_NE(moved, nullptr);
    loaded.Release();
    EXPECT_EQ(moved->GetStoredName().str(), "File System 1");
    EXPECT_EQ(moved->Items().GetAt(1)->GetStoredName().str(), "named in the storage");
    EXPECT_EQ(moved->Items().GetAt(1)->GetParent(), moved);
}

TEST(TreeStorage, ALongValueKeepsALongNameWhenTheResultMoves)
{
    for (const std::string& name : {std::string(40, 'v'), std::string(300, 'w')}) {
        CMemoryFile file1 = WriteSnapshot(KeysWithOneLargeValue(3, name, 20000, 1));
        CMemoryFile file2 = WriteSnapshot(KeysWithOneLargeValue(3, name, 20000, 2));
        CRecordingMessages messages;
        CRegMine mine(messages);
        ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
        EXPECT_LE(mine.StorageBytes(), 2u * (64 * 1024 + 20000 + 1024));  // moved
        for (const CCompareNode* root : {mine.GetRoot1(), mine.GetRoot2()}) {
            const CCompareNode* key = root->Nodes().GetAt(1)->Nodes().GetAt(1)->Nodes().GetAt(1);
            ASSERT_EQ(key->GetStoredName().str(), "key 3");
            const auto* big = static_cast<const CRegVal*>(key->Items().GetAt(1));
            ASSERT_NE(big, nullptr);
            EXPECT_EQ(big->GetStoredName().str(), name);
            EXPECT_EQ(big->GetState(), csChanged);
        }
    }
}

TEST(TreeStorage, RoomNotHandedOutAndEntriesTakenOutAreCaughtBySanitizer)
{
#ifndef STORAGE_POISONED
    GTEST_SKIP() << "only the AddressSanitizer build poisons";
#else
    CTreeStorage storage;
    CFSNode root(CCompareName("File System 1"), nullptr);
    CCompareNode* folder = root.AddNode(storage, storage.Create<CFSNode>(storage.Name("C:"), &root));
    CCompareItem* inFolder = folder->AddItem(storage, PlacedFile(storage, "in the folder", folder));
    CCompareItem* kept = root.AddItem(storage, PlacedFile(storage, "kept", &root));
    CCompareItem* removed = root.AddItem(storage, PlacedFile(storage, "removed", &root));
    auto* past = reinterpret_cast<char*>(removed) + sizeof(CFSFile) + 64;
    root.RemoveItemAt(root.FindItem(CCompareName("removed")));
    root.RemoveNodeAt(root.FindNode(CCompareName("C:")));
    const struct {
        const void* at;
        bool poisoned;
    } cases[] = {{kept, false}, {kept->GetStoredName().c_str(), false}, {past, true},
                 {removed, true}, {folder, true}, {inFolder, true}};
    for (const auto& c : cases)
        EXPECT_EQ(__asan_address_is_poisoned(c.at) != 0, c.poisoned) << &c - cases;
#endif
}

TEST(TreeStorage, PositionsOfAdoptedCellsStayValidWhileEntriesGo)
{
    CTreeStorage storage;
    CFSNode node(CCompareName("n"), nullptr);
    const int count = 40;
    CCompareItem** cells = storage.Cells<CCompareItem>(count);
    for (int i = 0; i < count; ++i)
        cells[i] = PlacedFile(storage, "file" + std::to_string(i), &node);
    node.AdoptItems(cells, count);

    // Remove every third entry; the others keep their positions.
    for (ListPosition pos = 1; pos <= count; pos += 3)
        node.RemoveItemAt(pos);
    for (ListPosition pos = 1; pos <= count; ++pos) {
        const CCompareItem* item = node.Items().GetAt(pos);
        if ((pos - 1) % 3 == 0) {
            EXPECT_EQ(item, nullptr) << pos;
            continue;
        }
        ASSERT_NE(item, nullptr) << pos;
        EXPECT_EQ(item->GetStoredName().str(), "file" + std::to_string(pos - 1));
    }
    EXPECT_EQ(node.Items().GetCount(), 26u);
    // A lookup still finds the first match among the ones left.
    EXPECT_EQ(node.FindItem(CCompareName("FILE4")), 5u);
    EXPECT_EQ(node.FindItem(CCompareName("file3")), 0u);

    // Compaction closes the gaps in order; an append then moves the cells to
    // a larger array and keeps them.
    node.CompactLists();
    std::vector<std::string> names;
    for (const CCompareItem* item : node.Items())
        names.push_back(item->GetStoredName().str());
    ASSERT_EQ(names.size(), 26u);
    EXPECT_EQ(names.front(), "file1");
    EXPECT_EQ(names.back(), "file38");
    node.AddItem(storage, PlacedFile(storage, "appended", &node));
    EXPECT_EQ(node.Items().GetCount(), 27u);
    EXPECT_EQ(node.Items().GetAt(27)->GetStoredName().str(), "appended");
    EXPECT_EQ(node.Items().GetAt(1)->GetStoredName().str(), "file1");
    // Removing all empties the list.
    while (node.Items().GetHeadPosition())
        node.RemoveItemAt(node.Items().GetHeadPosition());
    EXPECT_TRUE(node.IsEmpty());
}

TEST(TreeStorage, ViewersOutliveTheirEntriesAndCloseOnceWithTheView)
{
    CRecordingViews views;
    CTreeStorage storage;
    {
        CFSNode root(CCompareName("File System 1"), nullptr);
        CCompareNode** folders = storage.Cells<CCompareNode>(1);
        folders[0] = storage.Create<CFSNode>(storage.Name("C:"), &root);
        root.AdoptNodes(folders, 1);
        CCompareNode* drive = folders[0];
        CCompareItem** files = storage.Cells<CCompareItem>(3);
        for (int i = 0; i < 3; ++i)
            files[i] = PlacedFile(storage, "a rather long file name number " + std::to_string(i), drive);
        drive->AdoptItems(files, 3);
        views.Show(*files[0]);
        views.Show(*files[2]);
        drive->RemoveItemAt(1);  // the viewer stays: the view keeps it
        ASSERT_EQ(views.viewers.size(), 2u);
        EXPECT_FALSE(views.viewers[0]->destroyed);
    }
    storage.Release();
    views.shown.CloseAll();
    EXPECT_TRUE(views.viewers[0]->destroyed);
    EXPECT_TRUE(views.viewers[1]->destroyed);
    EXPECT_EQ(std::count(views.log.begin(), views.log.end(), "destroy"), 2);
}

// Two snapshots of a drive whose folders are nested depth deep, each level
// holding width files, one of which changes.
TFolder Deep(uint32_t depth, uint32_t width, bool changed)
{
    TFolder root{"C:", {}, {}};
    TFolder* folder = &root;
    for (uint32_t level = 0; level < depth; ++level) {
        for (uint32_t i = 0; i < width; ++i)
            folder->files.push_back(TFile{"f" + std::to_string(i), changed && i == 0 ? 2u : 1u, 5, 6});
        folder->folders.push_back(TFolder{"level " + std::to_string(level), {}, {}});
        folder = &folder->folders.back();
    }
    return root;
}

TEST(TreeStorage, DeepAndWideTreesLoadCompareAndGoInEitherOrder)
{
    const struct {
        uint32_t depth, width;
    } shapes[] = {{2000, 1}, {2, 100000}, {300, 300}};
    for (const auto& shape : shapes) {
        CMemoryFile before = WriteSnapshot(Deep(shape.depth, shape.width, false));
        CMemoryFile after = WriteSnapshot(Deep(shape.depth, shape.width, true));
        CRecordingMessages messages;
        auto mine = std::make_unique<CFSMine>(messages);
        ASSERT_TRUE(mine->Compare(nullptr, before, after)) << shape.depth;
        std::string first = TreeListing(*mine->GetRoot1(), *mine->GetRoot2());
        // The drive and every level but the last, which held no file, are
        // left, each holding its changed file.
        EXPECT_EQ(mine->GetRoot1()->CountNodes(), shape.depth);
        // A second comparison on the same engine releases the first trees'
        // storage and gives the same result.
        ASSERT_TRUE(mine->Compare(nullptr, before, after));
        EXPECT_EQ(TreeListing(*mine->GetRoot1(), *mine->GetRoot2()), first);
        // Nothing of tree 2 may point into tree 1 once tree 1 is gone.
        mine->GetRoot1()->RemoveNodeAt(mine->GetRoot1()->Nodes().GetHeadPosition());
        const CCompareNode* drive2 = mine->GetRoot2()->Nodes().GetAt(1);
        EXPECT_EQ(drive2->GetOpposite(), nullptr);
        EXPECT_EQ(drive2->Items().GetAt(drive2->Items().GetHeadPosition())->GetOpposite(), nullptr);
        mine.reset();
    }
}

TEST(TreeStorage, AnEngineFreesBothTreesWhileTheViewersOfTheirValuesStayOpen)
{
    // Values of every size on both sides of the limit of data read in place,
    // all changed, and a key only in one snapshot; then viewers on some.
    const uint32_t kReadInPlace = 16 * 1024;
    auto registry = [](uint8_t fill) {
        TRegistry r;
        TKey key{"SOFTWARE", {}, {}};
        for (uint32_t size : {0u, 4u, kReadInPlace, kReadInPlace + 1, 100000u})
            key.values.push_back(TValue{"v" + std::to_string(size) + std::string(30, 'x'), 3,
                                        std::vector<uint8_t>(size ? size : 0, fill)});
        key.values[0].data.assign(1, fill);
        r.machine.subkeys.push_back(key);
        r.users.subkeys.push_back(TKey{fill == 1 ? "only in 1" : "only in 2", {Dword("d", fill)}, {}});
        return r;
    };
    CMemoryFile file1 = WriteSnapshot(registry(1));
    CMemoryFile file2 = WriteSnapshot(registry(2));
    CRecordingViews views;
    CRecordingMessages messages;
    auto mine = std::make_unique<CRegMine>(messages);
    ASSERT_TRUE(mine->Compare(nullptr, file1, file2));
    const CCompareNode* software = mine->GetRoot1()->Nodes().GetAt(1)->Nodes().GetAt(1);
    ASSERT_EQ(software->Items().GetCount(), 5u);
    for (ListPosition pos : {2u, 5u})  // a value read in place and a long one
        views.Show(*software->Items().GetAt(pos));
    const CCompareNode* onlyIn2 = mine->GetRoot2()->Nodes().GetAt(2)->Nodes().GetAt(1);
    views.Show(*onlyIn2->Items().GetAt(1));
    ASSERT_EQ(views.viewers.size(), 3u);
    // A second run on the same engine frees the first trees; the viewers
    // are the view's, and never look at their values again.
    ASSERT_TRUE(mine->Compare(nullptr, file1, file2));
    mine.reset();
    for (const auto& viewer : views.viewers)
        EXPECT_FALSE(viewer->destroyed);
    views.shown.CloseAll();
    for (const auto& viewer : views.viewers)
        EXPECT_TRUE(viewer->destroyed);
    EXPECT_EQ(std::count(views.log.begin(), views.log.end(), "destroy"), 3);
}

// Every child names its node as its parent, and every link is mutual.
void ExpectSoundTree(const CCompareNode& root)
{
    std::vector<const CCompareNode*> pending{&root};
    while (!pending.empty()) {
        const CCompareNode* node = pending.back();
        pending.pop_back();
        if (node->GetOpposite()) {
            ASSERT_EQ(node->GetOpposite()->GetOpposite(), node);
        }
        for (const CCompareItem* item : node->Items()) {
            ASSERT_EQ(item->GetParent(), node);
            if (item->GetOpposite()) {
                ASSERT_EQ(item->GetOpposite()->GetOpposite(), item);
                ASSERT_EQ(item->GetOpposite()->GetParent()->GetOpposite(), node);
            }
        }
        for (const CCompareNode* child : node->Nodes()) {
            ASSERT_EQ(child->GetParent(), node);
            pending.push_back(child);
        }
    }
}

TEST(TreeStorage, WhatThePruningLeavesMovesIntoStorageOfItsSize)
{
    // 300 folders of 20 files with long names; ten files changed, a folder
    // gone, one new.
    TFolder before{"C:", {}, {}};
    for (int f = 0; f < 300; ++f) {
        TFolder folder{"a folder with a name of some length " + std::to_string(f), {}, {}};
        for (int i = 0; i < 20; ++i)
            folder.files.push_back(TFile{"a file with a long name " + std::to_string(i) + ".txt", 1, 5, 6});
        before.folders.push_back(folder);
    }
    TFolder after = before;
    for (int f = 0; f < 300; f += 30)
        after.folders[f].files[7].size = 2;
    after.folders.erase(after.folders.begin() + 5);
    after.folders.push_back(TFolder{"new", {TFile{"n", 1, 0, 0}}, {}});
    CMemoryFile file1 = WriteSnapshot(before), file2 = WriteSnapshot(after);
    CRecordingMessages messages;
    CFSMine mine(messages);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));

    // Both loaded trees took well over 1 MB; what is left takes a block each.
    EXPECT_LE(mine.StorageBytes(), 2u * 64 * 1024);
    ExpectSoundTree(*mine.GetRoot1());
    ExpectSoundTree(*mine.GetRoot2());
    EXPECT_EQ(mine.GetRoot1()->CountNodes(), 12u);  // C:, ten changed folders, the one gone
    EXPECT_EQ(mine.GetRoot2()->CountNodes(), 12u);  // C:, ten changed folders, the new one
    const CCompareNode* drive = mine.GetRoot1()->Nodes().GetAt(1);
    const CCompareNode* folder = drive->Nodes().GetAt(drive->FindNode(CCompareName("A FOLDER WITH A NAME OF SOME LENGTH 30")));
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->Items().GetCount(), 1u);
    const auto* file = static_cast<const CFSFile*>(folder->Items().GetAt(folder->Items().GetHeadPosition()));
    EXPECT_EQ(file->GetFullPath(), "C:\\a folder with a name of some length 30\\a file with a long name 7.txt");
    EXPECT_EQ(file->GetState(), csChanged);
    EXPECT_EQ(static_cast<const CFSFile*>(file->GetOpposite())->GetSize(), 2u);
    // A second comparison on the same engine goes from the moved trees.
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    ExpectSoundTree(*mine.GetRoot1());
}

TEST(TreeStorage, ALongValueKeepsItsKeyWhenTheKeyMoves)
{
    CMemoryFile file1 = WriteSnapshot(KeysWithOneLargeValue(9, "big", 100000, 1));
    CMemoryFile file2 = WriteSnapshot(KeysWithOneLargeValue(9, "big", 100000, 2));
    CRecordingMessages messages;
    CRegMine mine(messages);
    ASSERT_TRUE(mine.Compare(nullptr, file1, file2));
    EXPECT_LE(mine.StorageBytes(), 2u * (64 * 1024 + 100000 + 1024));  // moved
    ExpectSoundTree(*mine.GetRoot1());
    ExpectSoundTree(*mine.GetRoot2());
    const CCompareNode* key = mine.GetRoot2()->Nodes().GetAt(1)->Nodes().GetAt(1)->Nodes().GetAt(1);
    const auto* big = static_cast<const CRegVal*>(key->Items().GetAt(1));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->GetViewerCaption(), "Registry 2 : big");
    EXPECT_EQ(big->GetData()[99999], 2);
    EXPECT_EQ(key->GetStoredName().str(), "key 9");
}

}  // namespace
