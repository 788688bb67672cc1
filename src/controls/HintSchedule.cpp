#include "controls/HintSchedule.h"

HintSchedule::Action HintSchedule::pointerOver(QWidget* owner, Ms now) {
    if (owner == control_)
        return Action::None;
    const bool wasShowing = showing_;
    control_ = owner;
    showing_ = false;
    deadline_.reset();
    if (owner == nullptr)
        return wasShowing ? Action::Hide : Action::None;
    if (wasShowing)
        return showNow(now);
    deadline_ = now + kShowDelay;
    return Action::None;
}

HintSchedule::Action HintSchedule::cancel() {
    const bool wasShowing = showing_;
    control_ = nullptr;
    showing_ = false;
    deadline_.reset();
    return wasShowing ? Action::Hide : Action::None;
}

HintSchedule::Action HintSchedule::elapse(Ms now) {
    if (!deadline_ || now < *deadline_)
        return Action::None;
    if (!showing_)
        return showNow(now);
    showing_ = false;
    deadline_.reset();
    return Action::Hide;
}

HintSchedule::Action HintSchedule::forget(const QWidget* control) {
    return control != nullptr && control == control_ ? cancel() : Action::None;
}

HintSchedule::Action HintSchedule::showNow(Ms now) {
    showing_ = true;
    deadline_ = now + kHideDelay;
    return Action::Show;
}
