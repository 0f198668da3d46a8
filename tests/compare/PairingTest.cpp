// The partners the two passes find, held against the rule itself on lists
// of every length around the scan limit, in the same order and shuffled,
// with names that match each other many times over.
#include "compare/FSFile.h"
#include "compare/FSNode.h"
#include "compare/NameMatch.h"
#include "compare/TreePairing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// The rule: each entry of the first list, in order, takes the first entry of
// the second list whose name matches and that has no partner yet; then the
// same for the entries of the second list that are still alone.
std::vector<int> PartnersByTheRule(const std::vector<std::string>& first, const std::vector<std::string>& second)
{
    std::vector<int> partner(first.size(), -1), taken(second.size(), -1);
    auto match = [](const std::string& a, const std::string& b) {
        return NamesMatch(CCompareName(a), CCompareName(b));
    };
    for (size_t i = 0; i < first.size(); ++i)
        for (size_t j = 0; j < second.size(); ++j)
            if (taken[j] < 0 && match(first[i], second[j])) {
                partner[i] = static_cast<int>(j);
                taken[j] = static_cast<int>(i);
                break;
            }
    for (size_t j = 0; j < second.size(); ++j) {
        if (taken[j] >= 0)
            continue;
        for (size_t i = 0; i < first.size(); ++i)
            if (partner[i] < 0 && match(second[j], first[i])) {
                partner[i] = static_cast<int>(j);
                taken[j] = static_cast<int>(i);
                break;
            }
    }
    return partner;
}

TEST(Pairing, PartnersFollowTheRuleWhateverTheOrder)
{
    // With accented letters and, in code page 932, full-width ones that fold.
    const char* pool[] = {"a", "A", "b", "B", "readme.txt", "README.TXT", "x", "setup.exe",
                          "caf\xE9", "CAF\xE9", "\x82\x60", "\x82\x81", "\x83\x5C"};
    const size_t kPool = sizeof pool / sizeof pool[0];
    std::mt19937 random(11);
    for (size_t length : {3u, 9u, 31u, 32u, 33u, 64u, 300u})
        for (int order = 0; order < 3; ++order)
            for (int round = 0; round < 4; ++round) {
                std::vector<std::string> first, second;
                for (size_t i = 0; i < length; ++i)
                    first.push_back(pool[random() % kPool] + std::to_string(random() % 4));
                second = first;
                if (order == 1)
                    std::shuffle(second.begin(), second.end(), random);
                if (order == 2)  // some gone, some new, the rest in order
                    for (std::string& name : second)
                        if (random() % 4 == 0)
                            name = pool[random() % kPool] + std::to_string(random() % 6);

                CTreeStorage s;
                CFSNode root1(CCompareName("1"), nullptr), root2(CCompareName("2"), nullptr);
                std::vector<const CCompareItem*> items1, items2;
                for (const std::string& name : first)
                    items1.push_back(root1.AddItem(s, s.Create<CFSFile>(s.Name(name), 0, 0, 0, &root1)));
                for (const std::string& name : second)
                    items2.push_back(root2.AddItem(s, s.Create<CFSFile>(s.Name(name), 0, 0, 0, &root2)));
                PairTrees(&root1, &root2, nullptr);
                PairTrees(&root2, &root1, nullptr);

                std::vector<int> expected = PartnersByTheRule(first, second);
                for (size_t i = 0; i < first.size(); ++i) {
                    const CCompareItem* opposite = items1[i]->GetOpposite();
                    int found = -1;
                    if (opposite)
                        found = static_cast<int>(std::find(items2.begin(), items2.end(), opposite) - items2.begin());
                    ASSERT_EQ(found, expected[i]) << "length " << length << ", order " << order << ", entry " << i;
                }
            }
}

}  // namespace
