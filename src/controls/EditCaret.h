#pragma once

#include <functional>

// The caret settings of a drawn edit. BlinkRate is the time in milliseconds between the caret
// turning on and off, as the platform counts it. The caret picture (ImageIndex into the list
// ListIndex) is kept for form descriptions; the edit draws the standard caret.
class TEditCaret {
public:
    explicit TEditCaret(int blinkRate) : blinkRate_(blinkRate) {}

    int BlinkRate() const { return blinkRate_; }
    void setBlinkRate(int milliseconds);
    int ImageIndex() const { return imageIndex_; }
    void setImageIndex(int index) { imageIndex_ = index; }
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index) { listIndex_ = index; }

    // After a change of BlinkRate.
    std::function<void()> onChange;

private:
    int blinkRate_;
    int imageIndex_ = 0;
    int listIndex_ = 0;
};
