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
