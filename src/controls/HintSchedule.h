#pragma once

#include <cstdint>
#include <optional>

class QWidget;

// When the balloon of the control under the pointer shows and hides, over an explicit clock in
// milliseconds. A hint shows once the pointer has been on its control for 500 ms and hides
// 2,500 ms later; moving onto another control while one shows shows that control's hint at
// once; moving inside the same control changes nothing. Once a hint has timed out it stays
// away until the pointer leaves its control.
class HintSchedule {
public:
    using Ms = std::int64_t;
    static constexpr Ms kShowDelay = 500;
    static constexpr Ms kHideDelay = 2500;

    enum class Action { None, Show, Hide };

    // The pointer is over owner: the control whose hint applies there, or nullptr.
    Action pointerOver(QWidget* owner, Ms now);
    // A key, button, wheel or activation change: the hint goes, and the control's wait starts
    // afresh on the next move.
    Action cancel();
    // The clock reached or passed the deadline.
    Action elapse(Ms now);

    // When elapse() has something to do next.
    std::optional<Ms> deadline() const { return deadline_; }
    // The control whose hint shows, or nullptr.
    QWidget* shown() const { return showing_ ? control_ : nullptr; }
    // The control the pointer is on, as far as hints are concerned.
    QWidget* control() const { return control_; }
    // Forgets a control that is going away.
    Action forget(const QWidget* control);

private:
    Action showNow(Ms now);

    QWidget* control_ = nullptr;
    bool showing_ = false;
    std::optional<Ms> deadline_;
};
