#pragma once

#include "core/Error.h"
#include "framework/WinControl.h"

#include <QPoint>

class QEventLoop;

// A top-level window. Left/Top are the window's screen position, Width/Height its outer size
// (the client size until the window system has given it a frame), ClientWidth/ClientHeight its
// client area.
//
// Show: before each show() the form runs OnShow, or FormShow() when no OnShow handler is bound.
// Close: each close runs OnClose, or FormClose() when none is bound; if that throws, the
// standard error report shows the error and the window stays open. Closing the application's
// main form ends the application.
//
// Where the position matters (closing, the start of a drag) it is taken from the window system
// itself, so Left/Top and the drag never work from a stale idea of where the window is.
class TForm : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE setClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE setClientHeight)
    Q_PROPERTY(framework::TFormBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(framework::TPosition Position READ Position WRITE setPosition)
    Q_PROPERTY(framework::TFormStyle FormStyle READ FormStyle WRITE setFormStyle)
    Q_PROPERTY(framework::TWindowState WindowState READ WindowState WRITE setWindowState)
    Q_PROPERTY(bool DragMovesWindow READ DragMovesWindow WRITE setDragMovesWindow)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)

public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    int Width() const override;
    int Height() const override;
    void setBounds(int left, int top, int width, int height) override;
    int ClientWidth() const { return width(); }
    void setClientWidth(int width) { setClientSize(QSize(width, height())); }
    int ClientHeight() const { return height(); }
    void setClientHeight(int height) { setClientSize(QSize(width(), height)); }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void setBorderStyle(TFormBorderStyle style);
    TPosition Position() const { return position_; }
    void setPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void setFormStyle(TFormStyle style);
    TWindowState WindowState() const;
    void setWindowState(TWindowState state);

    // A left press on the bare surface (the form itself or a mouse-transparent windowless
    // control) moves the window. Turning it on makes the form's windowless children
    // mouse-transparent (also those loaded later, at Loaded()).
    bool DragMovesWindow() const { return dragMovesWindow_; }
    void setDragMovesWindow(bool on);

    void Show() { show(); }
    void Hide() { hide(); }
    void Close() { close(); }
    // Shows the form modally and returns, with ModalResult, once it is hidden again.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    // A non-zero result closes a modal form.
    void setModalResult(int result);

    const TNotifyEvent& OnShow() const { return onShow_; }
    void setOnShow(TNotifyEvent handler) { onShow_ = std::move(handler); }
    const TNotifyEvent& OnClose() const { return onClose_; }
    void setOnClose(TNotifyEvent handler) { onClose_ = std::move(handler); }
    const TNotifyEvent& OnHide() const { return onHide_; }
    void setOnHide(TNotifyEvent handler) { onHide_ = std::move(handler); }

    // OnShow, OnClose, OnHide and the control events.
    bool bindEvent(const QString& eventName, TNotifyEvent handler) override;
    void Loaded() override;

    // The control of that name and class anywhere in the form, or nullptr.
    template <class T> T* FindComponent(const QString& name) const {
        return findChild<T*>(name, Qt::FindChildrenRecursively);
    }
    // As FindComponent, but a missing control is an error.
    template <class T> T& Component(const QString& name) const {
        if (T* found = FindComponent<T>(name))
            return *found;
        throw core::Error("no component " + name.toStdString() + " of the expected class in " +
                          objectName().toStdString());
    }

protected:
    // Run when no OnShow / OnClose handler is bound.
    virtual void FormShow() {}
    virtual void FormClose() {}

    void TextChanged() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Tab and Shift+Tab follow the TabOrder chain.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setClientSize(QSize size);
    bool fixedSize() const;
    void applyWindowFlags();
    void placeOnScreen();
    void takePositionFromWindowSystem();
    void becomeActiveForInput();
    void makeWindowlessChildrenMouseTransparent();

    TFormBorderStyle borderStyle_ = bsSizeable;
    TPosition position_ = poDesigned;
    TFormStyle formStyle_ = fsNormal;
    bool dragMovesWindow_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
    int modalResult_ = 0;
    QEventLoop* modalLoop_ = nullptr;
    TNotifyEvent onShow_;
    TNotifyEvent onClose_;
    TNotifyEvent onHide_;
};
