#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/ErrorReport.h"
#include "framework/GraphicControl.h"
#include "platform/WindowOrigin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWindow>
#include <optional>

TForm::TForm(QWidget* parent) : TWinControl(parent, Qt::Window) {
    setParentColor(false);
    setParentFont(false);
}

TForm::~TForm() = default;

int TForm::Width() const {
    return frameGeometry().width();
}

int TForm::Height() const {
    return frameGeometry().height();
}

void TForm::setBounds(int left, int top, int width, int height) {
    const QSize frame = frameGeometry().size() - size();
    move(left, top);
    setClientSize(QSize(width - frame.width(), height - frame.height()));
}

void TForm::setClientSize(QSize size) {
    size = size.expandedTo(QSize(0, 0));
    const QSize oldSize = this->size();
    if (fixedSize()) {
        setFixedSize(size);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(size);
    }
    deliverPendingResize(oldSize);
}

bool TForm::fixedSize() const {
    return borderStyle_ != bsSizeable && borderStyle_ != bsSizeToolWin;
}

void TForm::setBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    applyWindowFlags();
    setClientSize(size());
}

void TForm::setFormStyle(TFormStyle style) {
    if (style == formStyle_)
        return;
    formStyle_ = style;
    applyWindowFlags();
}

TWindowState TForm::WindowState() const {
    const Qt::WindowStates states = windowState();
    if (states & Qt::WindowMinimized)
        return wsMinimized;
    if (states & Qt::WindowMaximized)
        return wsMaximized;
    return wsNormal;
}

void TForm::setWindowState(TWindowState state) {
    const Qt::WindowState qtState = state == wsMinimized   ? Qt::WindowMinimized
                                    : state == wsMaximized ? Qt::WindowMaximized
                                                           : Qt::WindowNoState;
    QWidget::setWindowState(qtState);
}

void TForm::applyWindowFlags() {
    Qt::WindowFlags flags;
    const Qt::WindowFlags titled = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    switch (borderStyle_) {
    case bsNone:
        flags = Qt::Window | Qt::FramelessWindowHint;
        break;
    case bsSingle:
        flags = Qt::Window | titled | Qt::WindowMinimizeButtonHint;
        break;
    case bsSizeable:
        flags = Qt::Window;
        break;
    case bsDialog:
        flags = Qt::Dialog | titled;
        break;
    case bsToolWindow:
    case bsSizeToolWin:
        flags = Qt::Tool | titled;
        break;
    }
    if (formStyle_ == fsStayOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    const bool wasVisible = isVisible();
    setWindowFlags(flags); // hides the window
    if (wasVisible)
        show();
}

void TForm::setDragMovesWindow(bool on) {
    dragMovesWindow_ = on;
    if (on && !isLoading())
        makeWindowlessChildrenMouseTransparent();
}

void TForm::makeWindowlessChildrenMouseTransparent() {
    for (TGraphicControl* control : windowlessChildren(false))
        control->setMouseTransparent(true);
}

int TForm::ShowModal() {
    modalResult_ = 0;
    QEventLoop loop;
    modalLoop_ = &loop;
    setWindowModality(Qt::ApplicationModal);
    show();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    if (isHidden())
        setWindowModality(Qt::NonModal);
    return modalResult_;
}

void TForm::setModalResult(int result) {
    modalResult_ = result;
    if (result != 0 && modalLoop_ != nullptr)
        Close();
}

bool TForm::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnShow"))
        onShow_ = std::move(handler);
    else if (eventName == QLatin1String("OnClose"))
        onClose_ = std::move(handler);
    else if (eventName == QLatin1String("OnHide"))
        onHide_ = std::move(handler);
    else
        return TWinControl::bindEvent(eventName, std::move(handler));
    return true;
}

void TForm::Loaded() {
    TWinControl::Loaded();
    if (dragMovesWindow_)
        makeWindowlessChildrenMouseTransparent();
}

void TForm::TextChanged() {
    setWindowTitle(Caption());
}

void TForm::showEvent(QShowEvent* event) {
    TWinControl::showEvent(event);
    // Input reaches the native window first (see becomeActiveForInput()).
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
    // A restore from minimised is the window system's show, not the program's.
    if (event->spontaneous())
        return;
    placeOnScreen();
    runGuarded([this] {
        if (onShow_)
            onShow_();
        else
            FormShow();
    });
}

void TForm::hideEvent(QHideEvent* event) {
    TWinControl::hideEvent(event);
    dragging_ = false;
    // Minimising is the window system's hide: a modal form stays modal.
    if (event->spontaneous())
        return;
    if (modalLoop_ != nullptr)
        modalLoop_->quit();
    if (onHide_)
        runGuarded(onHide_);
}

void TForm::closeEvent(QCloseEvent* event) {
    takePositionFromWindowSystem();
    const bool finished = runGuarded([this] {
        if (onClose_)
            onClose_();
        else
            FormClose();
    });
    if (!finished) {
        event->ignore(); // the close handler did not finish: the window stays
        return;
    }
    event->accept();
    if (Application != nullptr && Application->MainForm() == this)
        Application->Terminate();
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress))
        becomeActiveForInput();
    return TWinControl::eventFilter(watched, event);
}

void TForm::becomeActiveForInput() {
    // Input can reach a window the toolkit does not count as active: without a window manager
    // nobody hands the focus back after a message box. Taking the activation before the input
    // is delivered lets the focus change it causes run the controls' exit and enter handling.
    if (isActiveWindow() || !isVisible())
        return;
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(this);
    QT_WARNING_POP
    activateWindow();
}

void TForm::placeOnScreen() {
    QScreen* screen = nullptr;
    QRect area;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr)
            area = screen->availableGeometry();
        break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (Application != nullptr && Application->MainForm() != nullptr &&
            Application->MainForm() != this)
            area = Application->MainForm()->frameGeometry();
        break;
    default:
        break;
    }
    if (area.isValid())
        move(area.center() - QPoint(Width() / 2, Height() / 2));
}

void TForm::takePositionFromWindowSystem() {
    if (!isVisible())
        return;
    const std::optional<QPoint> client = platform::windowSystemClientOrigin(*this);
    if (!client)
        return;
    // Left/Top name the frame's corner; the frame's margins are the toolkit's to know.
    const QPoint frame = *client - (geometry().topLeft() - frameGeometry().topLeft());
    if (frame != pos())
        move(frame);
}

void TForm::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!dragMovesWindow_ || event->button() != Qt::LeftButton || childAt(at) != nullptr) {
        TWinControl::mousePressEvent(event);
        return;
    }
    event->accept();
    // The window manager moves by the pointer's travel from where we say the press was.
    takePositionFromWindowSystem();
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove())
        return;
    // No window manager to move us: follow the mouse ourselves.
    dragging_ = true;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void TForm::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        event->accept();
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    dragging_ = false;
    TWinControl::mouseMoveEvent(event);
}

void TForm::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        event->accept();
        return;
    }
    TWinControl::mouseReleaseEvent(event);
}

bool TForm::focusNextPrevChild(bool next) {
    becomeActiveForInput();
    std::vector<QWidget*> chain;
    for (TWinControl* control : tabOrderChain())
        if (control->isVisible() && control->isEnabled() && (control->focusPolicy() & Qt::TabFocus))
            chain.push_back(control);
    if (chain.empty())
        return TWinControl::focusNextPrevChild(next);
    // The deepest entry holding the focus; inner controls follow their container.
    const QWidget* current = focusWidget();
    int at = -1;
    for (int i = 0; i < int(chain.size()); ++i)
        if (current != nullptr && (chain[i] == current || chain[i]->isAncestorOf(current)))
            at = i;
    const int count = int(chain.size());
    const int target = at < 0 ? (next ? 0 : count - 1) : (at + (next ? 1 : count - 1)) % count;
    chain[std::size_t(target)]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
