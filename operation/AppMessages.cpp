#include "operation/AppMessages.h"

#include "framework/AppMessageBox.h"

const char* const kProgramCaption = "Pellix Corvane";

namespace {

UINT BoxType(MsgIcon icon, MsgButtons buttons)
{
    UINT type = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case MsgIcon::Exclamation: type |= MB_ICONEXCLAMATION; break;
    case MsgIcon::Information: type |= MB_ICONINFORMATION; break;
    case MsgIcon::Question: type |= MB_ICONQUESTION; break;
    }
    return type;
}

MsgAnswer Answer(int pressed)
{
    switch (pressed) {
    case IDYES: return MsgAnswer::Yes;
    case IDNO: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}

}  // namespace

MsgAnswer CAppMessages::Show(const std::string& text, MsgIcon icon, MsgButtons buttons)
{
    return Answer(AppMessageBox(text.c_str(), BoxType(icon, buttons)));
}

MsgAnswer CProgramMessages::Show(const std::string& text, MsgIcon icon, MsgButtons buttons)
{
    return Answer(::MessageBoxA(AppPopupOwner(), text.c_str(), kProgramCaption, BoxType(icon, buttons)));
}

IUserMessages& ProgramMessages()
{
    static CProgramMessages messages;
    return messages;
}

IUserMessages& AppMessages()
{
    static CAppMessages messages;
    return messages;
}
