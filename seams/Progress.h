// What a worker may do to report to the user interface: the three shared
// values of the progress window (title, status, percentage) with their waiting
// refresh, and the messages of the progress bar. The Windows progress window
// implements it; tests implement it to record what a worker reported.
#pragma once

class IProgress {
public:
    virtual ~IProgress() = default;

    // Setters try the window's lock once and drop the value when it is busy.
    virtual void SetTitleText(const char* text) = 0;
    virtual void SetStatusText(const char* text) = 0;
    virtual void SetPercent(float percent) = 0;
    // With wait, blocks until the window shows the latest values.
    virtual bool Refresh(bool wait) = 0;

    // The progress bar, whose range is 0 to 100 percent.
    virtual void BarSetPos(float percent) = 0;   // sent
    virtual void BarSetStep(float percent) = 0;  // sent
    virtual void BarStepIt() = 0;                // posted
    virtual int BarGetPos() = 0;                 // sent; position truncated toward zero
};

// Reports nowhere: for tools, benchmarks and fuzz targets that run a worker's
// code without a window. Subclasses override what they want to count.
class CNullProgress : public IProgress {
public:
    void SetTitleText(const char*) override {}
    void SetStatusText(const char*) override {}
    void SetPercent(float) override {}
    bool Refresh(bool) override { return true; }
    void BarSetPos(float) override {}
    void BarSetStep(float) override {}
    void BarStepIt() override {}
    int BarGetPos() override { return 0; }
};
