#include "compare/CompareScope.h"

#include "compare/NameMatch.h"

#include <utility>

namespace {

std::vector<CCompareName> Names(const SnapPlacePath& place)
{
    std::vector<CCompareName> names;
    names.reserve(place.size());
    for (const std::string& name : place)
        names.emplace_back(name);
    return names;
}

// Whether the place of outer names holds the place of inner names: its names
// begin inner's, matched as the comparison matches names.
bool Holds(const std::vector<CCompareName>& outer, const std::vector<CCompareName>& inner)
{
    if (outer.size() > inner.size())
        return false;
    for (size_t i = 0; i < outer.size(); ++i)
        if (!NamesMatch(outer[i], inner[i]))
            return false;
    return true;
}

// The places of `places` that lie inside one of `within`.
std::vector<const SnapPlacePath*> InsideAny(const std::vector<SnapPlacePath>& places,
                                            const std::vector<SnapPlacePath>& within)
{
    std::vector<std::vector<CCompareName>> outer;
    for (const SnapPlacePath& place : within)
        outer.push_back(Names(place));
    std::vector<const SnapPlacePath*> inside;
    for (const SnapPlacePath& place : places) {
        std::vector<CCompareName> names = Names(place);
        for (const std::vector<CCompareName>& o : outer)
            if (Holds(o, names)) {
                inside.push_back(&place);
                break;
            }
    }
    return inside;
}

}  // namespace

CCompareScope CCompareScope::Between(const CSnapAppendix& first, const CSnapAppendix& second)
{
    CCompareScope scope;
    // A file that does not tell what it holds is taken as it always was: whole.
    const bool whole1 = first.places.empty(), whole2 = second.places.empty();
    if (whole1 && whole2)
        return scope;
    scope.m_bWhole = false;
    if (whole1 || whole2) {
        for (const SnapPlacePath& place : whole1 ? second.places : first.places)
            scope.Add(place);
    } else {
        for (const SnapPlacePath* place : InsideAny(first.places, second.places))
            scope.Add(*place);
        for (const SnapPlacePath* place : InsideAny(second.places, first.places))
            scope.Add(*place);
    }
    scope.CollectPaths(scope.m_root, SnapPlacePath());
    return scope;
}

void CCompareScope::Add(const SnapPlacePath& place)
{
    Step* step = &m_root;
    for (const std::string& name : place) {
        CCompareName stepName(name);
        Step* next = const_cast<Step*>(Find(*step, stepName));
        if (!next) {
            step->next.push_back(Step{std::move(stepName), false, {}});
            next = &step->next.back();
        }
        step = next;
        // A place inside one already compared adds nothing.
        if (step->chosen)
            return;
    }
    step->chosen = true;
    step->next.clear();
}

void CCompareScope::CollectPaths(const Step& step, SnapPlacePath path)
{
    for (const Step& next : step.next) {
        path.push_back(next.name.str());
        if (next.chosen)
            m_paths.push_back(PlacePathText(path));
        else
            CollectPaths(next, path);
        path.pop_back();
    }
}

const CCompareScope::Step* CCompareScope::Find(const Step& from, const CCompareName& name)
{
    for (const Step& next : from.next)
        if (NamesMatch(next.name, name))
            return &next;
    return nullptr;
}

void CCompareScope::Trim(CCompareNode& root) const
{
    if (m_bWhole)
        return;
    struct Visit {
        CCompareNode* node;
        const Step* step;
    };
    std::vector<Visit> pending{{&root, &m_root}};
    while (!pending.empty()) {
        Visit visit = pending.back();
        pending.pop_back();
        CCompareNode& node = *visit.node;
        for (ListPosition pos = node.Items().GetHeadPosition(); pos;) {
            ListPosition at = pos;
            node.Items().GetNext(pos);
            node.RemoveItemAt(at);
        }
        for (ListPosition pos = node.Nodes().GetHeadPosition(); pos;) {
            ListPosition at = pos;
            CCompareNode* child = node.Nodes().GetNext(pos);
            const Step* step = Find(*visit.step, child->GetStoredName());
            if (!step)
                node.RemoveNodeAt(at);
            else if (!step->chosen)
                pending.push_back(Visit{child, step});
        }
        node.CompactLists();
    }
}
