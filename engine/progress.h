#pragma once
// Where the generator reports its progress: the conversion window's progress
// bar, or nothing on the command line.

namespace trelmo {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setMinimum(float value) = 0;
    virtual void setMaximum(float value) = 0;
    virtual void setValue(float value) = 0;
    // Lets pending window events run once.
    virtual void yield() = 0;
};

class NullProgress final : public ProgressSink {
public:
    void setMinimum(float) override {}
    void setMaximum(float) override {}
    void setValue(float) override {}
    void yield() override {}
};

}  // namespace trelmo
