#pragma once
// The progress gauge's values: minimum 0, a maximum and a progress clamped into [0, maximum].

namespace vrelmont {

class Gauge {
public:
    virtual ~Gauge() = default;

    int maximum() const { return maximum_; }
    int progress() const { return progress_; }
    void setMaximum(int maximum);
    void setProgress(int progress);
    // progress * 100 / maximum, truncated; 0 when the maximum is 0.
    int percent() const;

protected:
    // Called after every change, so that a window can repaint.
    virtual void changed() {}

private:
    int maximum_ = 100;
    int progress_ = 0;
};

} // namespace vrelmont
