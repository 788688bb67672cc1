#pragma once

#include "framework/Form.h"

class TGKitMSPlay;

// The resizable preview: plays the source movie in a player that fills the window while the
// main window's small player waits. Hidden, not destroyed, when closed.
class TPreviewForm1 : public TForm {
    Q_OBJECT

public:
    explicit TPreviewForm1(QWidget* parent = nullptr);
    ~TPreviewForm1() override;

    TGKitMSPlay& Player() const { return *GKitMSPlay1; }

    Q_INVOKABLE void FormClose() override;

private:
    TGKitMSPlay* GKitMSPlay1 = nullptr;
};

// The preview window, created second at start-up.
extern TPreviewForm1* PreviewForm1;
