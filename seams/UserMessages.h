// Message boxes as the portable core asks for them: text, icon and buttons in,
// the answer out. The Windows build shows them with MessageBoxA under the
// application's name; tests answer them without a modal box.
#pragma once

#include <string>

enum class MsgIcon { Exclamation, Information, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

class IUserMessages {
public:
    virtual ~IUserMessages() = default;
    virtual MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) = 0;

    void Error(const std::string& text) { Show(text, MsgIcon::Exclamation, MsgButtons::Ok); }
    void Note(const std::string& text) { Show(text, MsgIcon::Information, MsgButtons::Ok); }
    bool AskYesNo(const std::string& text)
    {
        return Show(text, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    }
};
