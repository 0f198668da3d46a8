// Stand-ins for the user interface that record what the core reported and
// answer its questions, so a test sees every message without a modal box.
#pragma once

#include "seams/Progress.h"
#include "seams/UserMessages.h"

#include <deque>
#include <string>
#include <vector>

struct RecordedMessage {
    std::string text;
    MsgIcon icon;
    MsgButtons buttons;
};

class CRecordingMessages : public IUserMessages {
public:
    // Answers to give to Yes/No questions, in order; Yes when none are left.
    std::deque<MsgAnswer> answers;
    std::vector<RecordedMessage> shown;

    MsgAnswer Show(const std::string& text, MsgIcon icon, MsgButtons buttons) override
    {
        shown.push_back(RecordedMessage{text, icon, buttons});
        if (buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (answers.empty())
            return MsgAnswer::Yes;
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : shown)
            texts.push_back(m.text);
        return texts;
    }
};

// Records every report in one list of events, in the order they came.
class CRecordingProgress : public IProgress {
public:
    std::vector<std::string> events;
    std::string title, status;
    float percent = 0;
    std::vector<float> percents;
    float barPos = 0, barStep = 10;
    int stepIts = 0;

    void SetTitleText(const char* text) override { title = text; events.push_back("title " + title); }
    void SetStatusText(const char* text) override { status = text; events.push_back("status " + status); }
    void SetPercent(float p) override { percent = p; percents.push_back(p); }
    bool Refresh(bool wait) override
    {
        events.push_back(wait ? "refresh wait" : "refresh");
        return true;
    }
    void BarSetPos(float p) override { barPos = p; events.push_back("bar setpos"); }
    void BarSetStep(float p) override { barStep = p; events.push_back("bar setstep"); }
    void BarStepIt() override { ++stepIts; barPos += barStep; }
    int BarGetPos() override { return static_cast<int>(barPos); }
};
