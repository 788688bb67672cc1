#pragma once

#include "controls/DrawnEdit.h"

// A drawn edit with one browse button, 18 pixels wide, at its right end. A click on it runs
// DoOnBrowseClick, which the file-open and folder edits override to show their dialogs.
class TCustomBrowseEdit : public TDrawnEdit {
    Q_OBJECT

public:
    static constexpr int kBrowseButtonWidth = 18;

    explicit TCustomBrowseEdit(QWidget* parent = nullptr);

    TEditButton* BrowseButton() const { return Button(0); }

protected:
    TCustomBrowseEdit(QWidget* parent, const QImage& glyph);

    // sender is the button clicked, index its place. Does nothing here.
    virtual void DoOnBrowseClick(QObject* sender, int index);

    void ButtonClick(int index) override;
};
