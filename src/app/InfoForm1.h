#pragma once

#include "framework/Form.h"

// The information window: logo, version, credits, and links to the maker's web site and
// support mail address. Shown modally from the main window; hidden, not destroyed, when closed.
class TInfoForm1 : public TForm {
    Q_OBJECT

public:
    explicit TInfoForm1(QWidget* parent = nullptr);
    ~TInfoForm1() override;

    static const QString webAddress;
    static const QString mailAddress;

    Q_INVOKABLE void SpeedButton1Click();
    Q_INVOKABLE void SpeedButton2Click();
    Q_INVOKABLE void SpeedButton3Click();
};

// The information window, created last at start-up.
extern TInfoForm1* InfoForm1;
