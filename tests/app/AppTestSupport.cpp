#include "AppTestSupport.h"

#include "app/ChangeForm1.h"
#include "app/InfoForm1.h"
#include "app/PreviewForm1.h"
#include "app/Startup.h"
#include "controls/BrowseEdit.h"
#include "controls/CustomBrowseEdit.h"
#include "controls/CustomSpinEdit.h"
#include "controls/EditButton.h"
#include "controls/FileOpenEdit.h"
#include "controls/SpinEdit.h"
#include "core/BmpWriter.h"
#include "framework/Application.h"
#include "framework/ErrorReport.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Timer.h"
#include "media/Movie.h"
#include "player/GKitMSPlay.h"
#include "skin/DxfProgressBar.h"
#include "skin/ShadowLabel.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <fstream>
#include <iterator>
#include <memory>

std::filesystem::path AppScratch::fsPath(const QString& name) const {
    return std::filesystem::path(file(name).toStdString());
}

QString testMovie(const testmedia::MovieRecipe& recipe) {
    return QString::fromStdString(testmedia::sharedMovie(recipe).string());
}

testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int width, int height) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.frames = frames;
    recipe.width = width;
    recipe.height = height;
    return recipe;
}

QString smallMovie(int frames) {
    return testMovie(recipeOf(testmedia::Codec::RawBgr24, frames));
}

int frameNumberOf(const QImage& picture) {
    const QImage bgr = picture.convertToFormat(QImage::Format_BGR888);
    return testmedia::readFrameNumber(
        {bgr.constBits(), bgr.width(), bgr.height(), int(bgr.bytesPerLine())});
}

AppWindows::AppWindows() {
    app::prepareWindowClasses();
    TApplication::setTitle(QStringLiteral("Kirimo AVI"));
    main_ = std::make_unique<TChangeForm1>();
    ChangeForm1 = main_.get();
    main_->setSettingsFileName(settingsFile());
    main_->setCommandLine({QStringLiteral("kirimo-avi")});
    main_->setExeDir(scratch_.path());
    preview_ = std::make_unique<TPreviewForm1>();
    PreviewForm1 = preview_.get();
    info_ = std::make_unique<TInfoForm1>();
    InfoForm1 = info_.get();
}

AppWindows::~AppWindows() {
    info_.reset();
    preview_.reset();
    main_.reset();
}

QString AppWindows::settingsFile() const {
    return scratch_.file(QStringLiteral("Kirimo.ini"));
}

TFileOpenEdit& AppWindows::source() const {
    return control<TFileOpenEdit>(QStringLiteral("Edit2"));
}
TSpinEdit& AppWindows::start() const {
    return control<TSpinEdit>(QStringLiteral("SpinEdit4"));
}
TSpinEdit& AppWindows::end() const {
    return control<TSpinEdit>(QStringLiteral("SpinEdit5"));
}
TSpinEdit& AppWindows::interval() const {
    return control<TSpinEdit>(QStringLiteral("SpinEdit6"));
}
TBrowseEdit& AppWindows::destination() const {
    return control<TBrowseEdit>(QStringLiteral("BrowseEdit1"));
}
TGKitMSPlay& AppWindows::smallPlayer() const {
    return control<TGKitMSPlay>(QStringLiteral("GKitMSPlay1"));
}
TTimer& AppWindows::mascotTimer() const {
    return control<TTimer>(QStringLiteral("Timer1"));
}
TdxfProgressBar& AppWindows::progress() const {
    return control<TdxfProgressBar>(QStringLiteral("ProgressBar1"));
}
TdxfProgressBar& AppWindows::countGauge() const {
    return control<TdxfProgressBar>(QStringLiteral("dxfProgressBar1"));
}
QString AppWindows::count() const {
    return control<TShadowLabel>(QStringLiteral("ShadowLabel14")).Caption();
}
QImage AppWindows::shownMascot() const {
    return control<TImage>(QStringLiteral("Image1")).picture();
}
QImage AppWindows::mascotPicture(int index) const {
    return control<TImageList>(QStringLiteral("ImageList1")).image(index);
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::string fileBytes(const QString& path) {
    return fileBytes(std::filesystem::path(path.toStdString()));
}

void writeText(const QString& path, const std::string& text) {
    std::ofstream stream(std::filesystem::path(path.toStdString()), std::ios::binary);
    stream << text;
}

std::string expectedBmp(const QString& movie, int frame) {
    media::Movie source(std::filesystem::path(movie.toStdString()));
    const std::vector<std::uint8_t> bytes = core::encodeBmp(source.frame(frame));
    return std::string(bytes.begin(), bytes.end());
}

QWidget* mouseTargetAt(TForm& window, QPoint at) {
    QWidget* child = window.childAt(at);
    return child != nullptr ? child : &window;
}

void leftClick(QWidget& target) {
    const QPoint at(target.width() / 2, target.height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target.mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &release);
}

QPoint dragWindowFrom(TForm& window, QPoint at, QPoint delta) {
    QWidget* target = mouseTargetAt(window, at);
    const QPoint before = window.pos();
    const QPoint local = target->mapFrom(&window, at);
    const QPoint global = window.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent move(QEvent::MouseMove, local + delta, global + delta, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, local + delta, global + delta, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    return window.pos() - before;
}

void typeInto(TCustomSpinEdit& edit, const QString& text) {
    edit.Editor()->selectAll();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit.Editor(), &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit.Editor(), &release);
    }
}

void leaveEdit(TCustomSpinEdit& edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit.Editor(), &out);
}

void clickBrowseButton(TCustomBrowseEdit& edit) {
    runGuarded([&] { edit.BrowseButton()->Click(); });
}

namespace {

std::unique_ptr<QMimeData> draggedFiles(const QStringList& files) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& file : files)
        urls << QUrl::fromLocalFile(file);
    data->setUrls(urls);
    return data;
}

} // namespace

void dropFiles(QWidget& target, const QStringList& files) {
    const std::unique_ptr<QMimeData> data = draggedFiles(files);
    const QPointF at = QPointF(target.width() / 2.0, target.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
}

int acceptedDragEvents(QWidget& target, const QStringList& files) {
    const std::unique_ptr<QMimeData> data = draggedFiles(files);
    const QPoint at(target.width() / 2, target.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    int accepted = 0;
    for (QDragMoveEvent* drag : {static_cast<QDragMoveEvent*>(&enter), &move}) {
        drag->ignore();
        QApplication::sendEvent(&target, drag);
        accepted += drag->isAccepted() ? 1 : 0;
    }
    return accepted;
}
