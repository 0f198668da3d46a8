#include "compare/CompareTree.h"

#include "compare/TreeMove.h"

void CCompareTree::Compact()
{
    if (!m_pRoot)
        return;
    // Worth it, and hardly more at the peak, only when the copies take a
    // sixteenth of the loaded tree or less.
    CTreeStorage fresh;
    if (CCompareNode* moved = MoveTreeInto(*m_pRoot, fresh, m_storage.BlockBytes() / 16)) {
        m_storage.Swap(fresh);
        m_pRoot = moved;
    }
    // fresh goes now, with the loaded blocks or with the unused copies.
}
