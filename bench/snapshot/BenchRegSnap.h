// A registry snapshot for the benchmarks: the program's own walker with its
// question answered yes, its notes passed over, its errors printed instead of
// shown, and no results dialog.
#pragma once

#include "snapshot/RegSnap.h"

#include <cstdio>
#include <string>

class CQuietMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon, MsgButtons buttons) override
    {
        if (buttons == MsgButtons::YesNo)
            return MsgAnswer::Yes;
        if (text.rfind("Note - ", 0) != 0)
            std::fprintf(stderr, "message: %s\n", text.c_str());
        return MsgAnswer::Ok;
    }
};

class CBenchRegSnap : public CRegSnap {
public:
    using CRegSnap::CRegSnap;
    // The walk reached its results: the snapshot file is complete.
    bool finished = false;

protected:
    void ShowResults(const std::string&) override { finished = true; }
};
