// The compare tree model on hand-built trees: lists, lookups, links,
// counting, pruning and ownership.
#include "compare/AnsiChars.h"
#include "compare/CompareNode.h"
#include "compare/FSFile.h"
#include "compare/FSNode.h"
#include "compare/TreeCursor.h"
#include "compare/TreeListing.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

CCompareName Name(const std::string& text)
{
    return CCompareName(text);
}

// Where the hand-built trees of these tests lie, until the tests end.
CTreeStorage& Storage()
{
    static CTreeStorage storage;
    return storage;
}

CFSNode* AddFolder(CCompareNode& parent, const std::string& name)
{
    CTreeStorage& s = Storage();
    return static_cast<CFSNode*>(parent.AddNode(s, s.Create<CFSNode>(s.Name(name), &parent)));
}

CFSFile* AddFile(CCompareNode& parent, const std::string& name, uint32_t size = 0)
{
    CTreeStorage& s = Storage();
    return static_cast<CFSFile*>(parent.AddItem(s, s.Create<CFSFile>(s.Name(name), 1, 2, size, &parent)));
}

std::vector<std::string> ItemNames(const CCompareNode& node)
{
    std::vector<std::string> names;
    for (const CCompareItem* item : node.Items())
        names.push_back(item->GetStoredName().str());
    return names;
}

}  // namespace

TEST(CompareName, KeepsShortAndLongNamesWithTheirBytes)
{
    std::string longName(300, 'x');
    longName[7] = '\xE9';
    for (const std::string& text : {std::string(), std::string("a"), std::string(22, 'b'),
                                    std::string(23, 'c'), longName}) {
        CCompareName name(text);
        EXPECT_EQ(name.str(), text);
        EXPECT_EQ(name.size(), text.size());
        EXPECT_EQ(name.c_str()[text.size()], '\0');
        CCompareName moved(std::move(name));
        EXPECT_EQ(moved.str(), text);
        EXPECT_TRUE(name.empty());
    }
}

TEST(NameMatch, FoldsOnlyTheLettersAToZ)
{
    EXPECT_TRUE(NamesMatch(Name("Temp"), Name("TEMP")));
    EXPECT_TRUE(NamesMatch(Name("azAZ09_.~"), Name("AZaz09_.~")));
    EXPECT_FALSE(NamesMatch(Name("Temp"), Name("Temp2")));
    EXPECT_FALSE(NamesMatch(Name("@"), Name("`")));        // 0x40 and 0x60 are no letters
    EXPECT_FALSE(NamesMatch(Name("[\\]"), Name("{|}")));    // nor 0x5B-0x5D and 0x7B-0x7D
    EXPECT_FALSE(NamesMatch(Name("caf\xE9"), Name("CAF\xC9")));  // accented letters match exactly
    EXPECT_TRUE(NamesMatch(Name("caf\xE9"), Name("CAF\xE9")));
    EXPECT_TRUE(NamesMatch(Name(""), Name("")));
    EXPECT_EQ(NameMatchHash(Name("Program Files")), NameMatchHash(Name("PROGRAM files")));
    // Full-width A and a: one letter in a double-byte code page (932), two
    // pairs of bytes elsewhere.
    EXPECT_EQ(NamesMatch(Name("\x82\x60"), Name("\x82\x81")), IsAnsiLeadByte(0x82));
}

TEST(CompareNode, FindReturnsTheFirstMatchInListOrder)
{
    CFSNode root(Name("File System 1"), nullptr);
    CFSFile* first = AddFile(root, "readme.TXT");
    AddFile(root, "README.txt");
    EXPECT_EQ(root.Items().GetAt(root.FindItem(Name("Readme.txt"))), first);
    EXPECT_EQ(root.FindItem(Name("readme")), 0u);
    CFSNode* temp = AddFolder(root, "Temp");
    AddFolder(root, "TEMP");
    EXPECT_EQ(root.Nodes().GetAt(root.FindNode(Name("temp"))), temp);
}

// Long lists are searched through an index; whatever the names, it must give
// the same element as a scan from the head.
TEST(CompareNode, IndexedLookupEqualsScanFromTheHead)
{
    std::mt19937 random(7);
    const char* stems[] = {"a", "B", "file", "FILE", "x.dat", "X.DAT", "caf\xE9", "CAF\xC9", ""};
    for (int round = 0; round < 20; ++round) {
        CFSNode node(Name("n"), nullptr);
        std::vector<std::string> names;
        int count = 9 + static_cast<int>(random() % 200);
        for (int i = 0; i < count; ++i) {
            std::string name = std::string(stems[random() % 9]) + std::to_string(random() % 20);
            if (random() % 2)
                for (char& c : name)
                    if (c >= 'a' && c <= 'z')
                        c = static_cast<char>(c - 'a' + 'A');
            names.push_back(name);
            AddFile(node, name);
        }
        // Remove some, as pruning does, and look up again.
        for (int pass = 0; pass < 2; ++pass) {
            for (int probe = 0; probe < 60; ++probe) {
                std::string wanted = std::string(stems[random() % 9]) + std::to_string(random() % 20);
                const CCompareItem* expected = nullptr;
                for (const CCompareItem* item : node.Items())
                    if (NamesMatch(item->GetStoredName(), Name(wanted))) {
                        expected = item;
                        break;
                    }
                EXPECT_EQ(node.Items().GetAt(node.FindItem(Name(wanted))), expected) << wanted;
            }
            for (ListPosition pos = node.Items().GetHeadPosition(); pos;) {
                ListPosition current = pos;
                node.Items().GetNext(pos);
                if (random() % 3 == 0)
                    node.RemoveItemAt(current);
            }
        }
    }
}

TEST(CompareNode, CountNodesCountsEveryNodeBelow)
{
    CFSNode root(Name("File System 1"), nullptr);
    EXPECT_EQ(root.CountNodes(), 0u);
    CFSNode* child = AddFolder(root, "C:");
    AddFolder(*child, "a");
    AddFolder(*child, "b");
    AddFile(*child, "f");
    EXPECT_EQ(root.CountNodes(), 3u);
    EXPECT_EQ(child->CountNodes(), 2u);
}

TEST(CompareNode, GetRootFollowsTheParents)
{
    CFSNode root(Name("File System 2"), nullptr);
    CFSNode* deep = AddFolder(*AddFolder(*AddFolder(root, "C:"), "a"), "b");
    EXPECT_EQ(deep->GetRoot(), &root);
    EXPECT_EQ(root.GetRoot(), &root);
}

TEST(CompareNode, RemovingKeepsOrderAndOtherPositions)
{
    CFSNode node(Name("n"), nullptr);
    for (const char* name : {"a", "b", "c", "d"})
        AddFile(node, name);
    ListPosition pos = node.Items().GetHeadPosition();
    ListPosition second = (node.Items().GetNext(pos), pos);
    ListPosition third = (node.Items().GetNext(pos), pos);
    node.RemoveItemAt(second);
    EXPECT_EQ(node.Items().GetAt(third)->GetStoredName().str(), "c");
    EXPECT_EQ(ItemNames(node), (std::vector<std::string>{"a", "c", "d"}));
    AddFile(node, "e");
    EXPECT_EQ(ItemNames(node), (std::vector<std::string>{"a", "c", "d", "e"}));
    EXPECT_EQ(node.Items().GetCount(), 4u);
    while (ListPosition head = node.Items().GetHeadPosition())
        node.RemoveItemAt(head);
    EXPECT_TRUE(node.Items().IsEmpty());
    EXPECT_EQ(node.Items().GetHeadPosition(), 0u);
}

TEST(CompareLinks, LinkingIsSymmetricAndRelinkingUnlinksTheFormerPartner)
{
    CFSNode root1(Name("File System 1"), nullptr), root2(Name("File System 2"), nullptr);
    CFSFile* a = AddFile(root1, "a");
    CFSFile* b = AddFile(root2, "a");
    CFSFile* c = AddFile(root2, "A");
    EXPECT_EQ(a->LinkOpposite(b), b);
    EXPECT_EQ(a->GetOpposite(), b);
    EXPECT_EQ(b->GetOpposite(), a);
    a->LinkOpposite(c);
    EXPECT_EQ(a->GetOpposite(), c);
    EXPECT_EQ(c->GetOpposite(), a);
    EXPECT_EQ(b->GetOpposite(), nullptr);
}

TEST(CompareLinks, TakingEitherSideOutOfItsTreeClearsTheLink)
{
    auto root1 = std::make_unique<CFSNode>(Name("File System 1"), nullptr);
    auto root2 = std::make_unique<CFSNode>(Name("File System 2"), nullptr);
    CFSNode* folder1 = AddFolder(*root1, "C:");
    CFSNode* folder2 = AddFolder(*root2, "C:");
    CFSFile* file1 = AddFile(*folder1, "x");
    CFSFile* file2 = AddFile(*folder2, "x");
    folder1->LinkOpposite(folder2);
    file1->LinkOpposite(file2);
    root1->LinkOpposite(root2.get());

    folder1->RemoveItemAt(folder1->FindItem(Name("x")));
    EXPECT_EQ(file2->GetOpposite(), nullptr);
    root1->RemoveNodeAt(root1->FindNode(Name("C:")));
    EXPECT_EQ(folder2->GetOpposite(), nullptr);
    EXPECT_EQ(root2->GetOpposite(), root1.get());
}

TEST(CompareNode, DeletesVeryDeepTreesWithoutRecursing)
{
    auto root = std::make_unique<CFSNode>(Name("File System 1"), nullptr);
    CCompareNode* node = root.get();
    for (int depth = 0; depth < 200000; ++depth) {
        node = AddFolder(*node, "d");
        AddFile(*node, "f");
    }
    EXPECT_EQ(root->CountNodes(), 200000u);
    EXPECT_EQ(node->GetRoot(), root.get());
    root.reset();
}

// The cursor walks a tree in the views' order both ways, over empty folders,
// folders of files only and removed entries, and steps on from any entry it
// is put at; it stays put at either end.
TEST(TreeCursor, WalksTheViewsOrderBothWaysFromAnyEntry)
{
    CTreeStorage& s = Storage();
    CFSNode* root = s.Create<CFSNode>(s.Name("File System 1"), nullptr);
    CFSNode* a = AddFolder(*root, "a");
    AddFolder(*a, "empty");
    CFSNode* b = AddFolder(*a, "b");
    AddFile(*b, "b1");
    AddFile(*b, "gone");
    AddFile(*b, "b2");
    AddFile(*a, "a1");
    AddFolder(*root, "files");
    AddFile(*root, "r1");
    b->TakeOutItemAt(2);
    CFSNode* files = static_cast<CFSNode*>(root->Nodes().GetAt(2));
    AddFile(*files, "f1");

    std::vector<std::string> order;
    WalkTree(
        *root, [&](const CCompareNode& n, unsigned) { return order.push_back(n.GetStoredName().str()), true; },
        [&](const CCompareItem& i, unsigned) { order.push_back(i.GetStoredName().str()); });
    ASSERT_EQ(order, (std::vector<std::string>{"File System 1", "a", "empty", "b", "b1", "b2", "a1", "files", "f1", "r1"}));

    auto name = [](const CTreeCursor& c) {
        return c.Item() ? c.Item()->GetStoredName().str() : c.Node()->GetStoredName().str();
    };
    CTreeCursor cursor(*root);
    std::vector<std::string> forward{name(cursor)}, backward;
    while (cursor.Next())
        forward.push_back(name(cursor));
    EXPECT_EQ(forward, order);
    EXPECT_FALSE(cursor.Next());
    EXPECT_EQ(name(cursor), "r1");
    cursor.SeekLast();
    do
        backward.insert(backward.begin(), name(cursor));
    while (cursor.Prev());
    EXPECT_EQ(backward, order);
    EXPECT_EQ(name(cursor), "File System 1");

    // Put at each entry in turn, it steps on to the next; not at one of another tree.
    CTreeCursor from(*root);
    for (size_t at = 0; at < order.size(); from.Next(), ++at) {
        ASSERT_TRUE(cursor.Seek(from.Item() ? nullptr : from.Node(), from.Item()));
        EXPECT_EQ(cursor.Next() ? name(cursor) : "end", at + 1 < order.size() ? order[at + 1] : "end");
    }
    EXPECT_FALSE(CTreeCursor(*a).Seek(files, nullptr));
}
