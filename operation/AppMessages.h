// The portable core's messages to the user, shown as the framework's
// application-wide message boxes (caption "Corvane", owned by the window the
// user last worked in).
#pragma once

#include "seams/UserMessages.h"

class CAppMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
};

IUserMessages& AppMessages();

// The messages of the program's own windows: caption "Pellix Corvane", owned
// by the window the user last worked in.
class CProgramMessages : public IUserMessages {
public:
    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override;
};

IUserMessages& ProgramMessages();

// The caption of the boxes of the program's own windows.
extern const char* const kProgramCaption;
