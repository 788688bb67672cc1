#include "controls/BrowseDlg.h"

#include "controls/DialogPlacement.h"
#include "controls/DialogText.h"
#include "controls/FileDialogWatcher.h"
#include "framework/Application.h"
#include "framework/ErrorReport.h"
#include "framework/Form.h"
#include "platform/FileDialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <optional>

namespace controls {

QString systemFolderPath(TSystemFolders folder) {
    const auto standard = [](QStandardPaths::StandardLocation location) {
        const QString path = QStandardPaths::writableLocation(location);
        return !path.isEmpty() && QDir(path).exists() ? QDir::toNativeSeparators(path) : QString();
    };
    switch (folder) {
    case bfoDesktop:
    case bfoDesktopDirectory:
    case bfoCommonDesktopDirectory:
        return standard(QStandardPaths::DesktopLocation);
    case bfoPersonal:
        return standard(QStandardPaths::DocumentsLocation);
    case bfoPrograms:
    case bfoCommonPrograms:
    case bfoStartMenu:
    case bfoCommonStartMenu:
        return standard(QStandardPaths::ApplicationsLocation);
    case bfoFonts:
        return standard(QStandardPaths::FontsLocation);
    case bfoAppData:
        return standard(QStandardPaths::GenericDataLocation);
    case bfoInternetChache:
        return standard(QStandardPaths::GenericCacheLocation);
    case bfoMyComputer:
        return QDir::toNativeSeparators(QDir::rootPath());
    default:
        break;
    }
    return {};
}

} // namespace controls

namespace {

QString displayNameOf(const QString& path) {
    const QString name = QFileInfo(QDir::fromNativeSeparators(path)).fileName();
    return name.isEmpty() ? path : name;
}

QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().size() : QSize();
}

} // namespace

TBrowseDlg::TBrowseDlg(QObject* owner) : QObject(owner) {}

TBrowseDlg::~TBrowseDlg() = default;

bool TBrowseDlg::Execute() {
    QWidget* form = nullptr;
    if (auto* widget = qobject_cast<QWidget*>(parent()))
        form = widget->window();
    else if (Application != nullptr)
        form = Application->MainForm();
    return ExecuteEnh(form);
}

bool TBrowseDlg::ExecuteEnh(QWidget* ownerForm) {
    platform::FolderOptions options;
    options.title = captionTitle_;
    options.initialDir = initialFolder();
    options.showFiles = options_.testFlag(doShowFiles);

    const QPointer<TBrowseDlg> self(this);
    std::optional<QString> chosen;
    {
        // The owner may go, taking this component with it, while the dialog runs.
        const FileDialogWatcher watcher(
            [self](QFileDialog& dialog) {
                if (self)
                    self->dialogShown(dialog);
            },
            [self] {
                if (self)
                    self->running_ = nullptr;
            });
        chosen = platform::selectFolderDialog(ownerForm, options);
    }
    if (!self)
        return false;
    running_ = nullptr;
    if (!chosen || chosen->isEmpty())
        return false;
    selectedFolder_ = *chosen;
    displayName_ = displayNameOf(*chosen);
    return true;
}

QString TBrowseDlg::initialFolder() const {
    return !selectedFolder_.isEmpty() ? selectedFolder_ : controls::systemFolderPath(startFolder_);
}

void TBrowseDlg::EnableOKButton(bool enable) {
    if (running_ == nullptr)
        return;
    for (const QDialogButtonBox* box : running_->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                button->setEnabled(enable);
}

void TBrowseDlg::setSelectedFolder(const QString& folder) {
    selectedFolder_ = folder;
    if (running_ != nullptr && !folder.isEmpty())
        running_->setDirectory(QDir::fromNativeSeparators(folder));
}

QWidget* TBrowseDlg::Handle() const {
    return running_.data();
}

bool TBrowseDlg::bindEvent(const QString& eventName, TNotifyEvent handler) {
    if (eventName == QLatin1String("OnInit")) {
        onInit_ = [handler = std::move(handler)](TBrowseDlg&) { handler(); };
        return true;
    }
    return TComponent::bindEvent(eventName, std::move(handler));
}

void TBrowseDlg::dialogShown(QFileDialog& dialog) {
    running_ = &dialog;
    const QRect target = controls::dialogTargetRect(relatePos_);
    dialog.move(controls::browseDialogTopLeft(position_, target, dialog.size(), screenSize()));
    if (!captionTitle_.isEmpty())
        dialog.setWindowTitle(captionTitle_);
    EnableOKButton(options_.testFlag(doEnableOK));
    connect(&dialog, &QFileDialog::currentChanged, this, &TBrowseDlg::selectionChanged);
    if (onInit_)
        onInit_(*this);
}

void TBrowseDlg::selectionChanged(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    if (options_.testFlag(doShowPath))
        statusText_ = controls::shortenPath(native, kStatusPathLength);
    if (onSelectionChanged_)
        runGuarded([&] { onSelectionChanged_(*this, running_.data(), native); });
}
