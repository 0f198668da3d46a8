#include "operation/AppMessages.h"

#include "framework/AppMessageBox.h"

MsgAnswer CAppMessages::Show(const std::string& text, MsgIcon icon, MsgButtons buttons)
{
    UINT type = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case MsgIcon::Exclamation: type |= MB_ICONEXCLAMATION; break;
    case MsgIcon::Information: type |= MB_ICONINFORMATION; break;
    case MsgIcon::Question: type |= MB_ICONQUESTION; break;
    }
    switch (AppMessageBox(text.c_str(), type)) {
    case IDYES: return MsgAnswer::Yes;
    case IDNO: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}

IUserMessages& AppMessages()
{
    static CAppMessages messages;
    return messages;
}
