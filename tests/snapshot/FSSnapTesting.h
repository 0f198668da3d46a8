// What the file-system walker tests share: a walker that records its results
// text instead of showing the dialog.
#pragma once

#include "snapshot/FSSnap.h"

#include <string>
#include <vector>

class CRecordedFSSnap : public CFSSnap {
public:
    using CFSSnap::CFSSnap;
    std::vector<std::string> results;

protected:
    void ShowResults(const std::string& text) override { results.push_back(text); }
};
