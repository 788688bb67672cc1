#include "app/ChangeForm1.h"

#include "app/AppPaths.h"
#include "app/DestinationPath.h"
#include "app/InfoForm1.h"
#include "app/MovieErrorText.h"
#include "app/PreviewForm1.h"
#include "controls/BrowseEdit.h"
#include "controls/FileOpenEdit.h"
#include "controls/SpinEdit.h"
#include "core/BmpWriter.h"
#include "core/FolderCreation.h"
#include "core/FrameNaming.h"
#include "core/FrameRange.h"
#include "core/Numbers.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "framework/Application.h"
#include "framework/ErrorReport.h"
#include "framework/FormLoader.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/IniFile.h"
#include "framework/ReachablePosition.h"
#include "framework/Timer.h"
#include "platform/Canvas.h"
#include "platform/FileSearch.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "player/GKitMSPlay.h"
#include "skin/AHMFadingLabel.h"
#include "skin/DxfProgressBar.h"
#include "skin/ShadowLabel.h"
#include "skin/ShineSpeedButton.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <utility>

TChangeForm1* ChangeForm1 = nullptr;

namespace {

const QString unsupportedFormatText =
    QStringLiteral("非対応フォーマットのAVIファイルです。処理を中止します。");

// The mascot's working animation runs 0, 1, 2, 1 and over again.
constexpr std::array<int, 4> mascotPictureOfStep{0, 1, 2, 1};
constexpr int mascotIdlePicture = 3;
constexpr int mascotFinishedPicture = 4;

// How long after a key's release in a range edit the key counts as up, unless another press
// comes: far shorter than a person's next key press, far longer than the window system's gap
// between a repeat's release and its press.
constexpr int keyRepeatEndMs = 50;

const QString settingsPositionSection = QStringLiteral("SET0");
const QString settingsPathSection = QStringLiteral("SET1");

std::string utf8(const QString& text) {
    return text.toStdString();
}

bool isAviName(const QString& name) {
    return core::isAviName(utf8(name), core::PathRules::native());
}

QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    if (data == nullptr)
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << QDir::toNativeSeparators(url.toLocalFile());
    return files;
}

// The cursor promises a drop only where the drop would take a movie.
void answerDrag(QDragMoveEvent& event) {
    if (std::ranges::any_of(localFilesOf(event.mimeData()), isAviName))
        event.acceptProposedAction();
    else
        event.ignore();
}

// The window's command line takes AVI movies only; what it passes over is said, not swallowed.
void tellIgnoredArgument(const QString& argument, const char* reason) {
    std::fprintf(stderr, "kirimo-avi: ignored '%s': %s\n", qUtf8Printable(argument), reason);
}

QString whyNotOpened(platform::ShellOpenFailure failure) {
    switch (failure) {
    case platform::ShellOpenFailure::NoSuchFile:
        return QStringLiteral("ファイルが見つかりません。");
    case platform::ShellOpenFailure::NoOpener:
        return QStringLiteral("ファイルを開くプログラム xdg-open がありません。"
                              "xdg-utils パッケージを入れてください。");
    case platform::ShellOpenFailure::Refused:
        break;
    }
    return QStringLiteral("ファイルを開くプログラムを起動できません。");
}

} // namespace

TChangeForm1::TChangeForm1(QWidget* parent)
    : TForm(parent), exeDir_(app::executableDir()), settingsFileName_(app::settingsFilePath()),
      commandLine_(QCoreApplication::arguments()) {
    FormLoader::loadFile(this, QStringLiteral(":/forms/ChangeForm1.form"));
    findControls();
#ifndef Q_OS_WIN
    // The designed default names a Windows folder; elsewhere the documents folder stands in.
    BrowseEdit1->setPath(app::defaultDestination());
#endif
    animFrame_ = 0;
    dropFileName_.clear();
    fileExt_.clear();
    setAcceptDrops(true);
    routeDropsToWindow();
    SpinEdit4->Editor()->installEventFilter(this);
    SpinEdit5->Editor()->installEventFilter(this);
    keyRepeatEnd_.setSingleShot(true);
    keyRepeatEnd_.setInterval(keyRepeatEndMs);
    connect(&keyRepeatEnd_, &QTimer::timeout, this, [this] { KeyRepeatCheck(); });
    DrawMascot(mascotIdlePicture);
}

TChangeForm1::~TChangeForm1() {
    if (ChangeForm1 == this)
        ChangeForm1 = nullptr;
}

void TChangeForm1::findControls() {
    ShadowLabel14 = &Component<TShadowLabel>(QStringLiteral("ShadowLabel14"));
    FadingLabel2 = &Component<TAHMFadingLabel>(QStringLiteral("FadingLabel2"));
    FadingLabel3 = &Component<TAHMFadingLabel>(QStringLiteral("FadingLabel3"));
    Image1 = &Component<TImage>(QStringLiteral("Image1"));
    Image2 = &Component<TImage>(QStringLiteral("Image2"));
    Image3 = &Component<TImage>(QStringLiteral("Image3"));
    Image4 = &Component<TImage>(QStringLiteral("Image4"));
    GKitMSPlay1 = &Component<TGKitMSPlay>(QStringLiteral("GKitMSPlay1"));
    SSButton1 = &Component<TShineSpeedButton>(QStringLiteral("SSButton1"));
    BrowseEdit1 = &Component<TBrowseEdit>(QStringLiteral("BrowseEdit1"));
    SpinEdit4 = &Component<TSpinEdit>(QStringLiteral("SpinEdit4"));
    SpinEdit5 = &Component<TSpinEdit>(QStringLiteral("SpinEdit5"));
    SpinEdit6 = &Component<TSpinEdit>(QStringLiteral("SpinEdit6"));
    ProgressBar1 = &Component<TdxfProgressBar>(QStringLiteral("ProgressBar1"));
    dxfProgressBar1 = &Component<TdxfProgressBar>(QStringLiteral("dxfProgressBar1"));
    Edit2 = &Component<TFileOpenEdit>(QStringLiteral("Edit2"));
    Timer1 = &Component<TTimer>(QStringLiteral("Timer1"));
    ImageList1 = &Component<TImageList>(QStringLiteral("ImageList1"));
}

// ---- Start-up, show and close ----

void TChangeForm1::FormShow() {
    ReadSettings();
    ExamineCommandLine();
}

void TChangeForm1::FormClose() {
    // A settings file that cannot be written must not keep the window from ever closing: the
    // user learns why the values were not kept, and the program still ends.
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        reportException(error);
    }
}

void TChangeForm1::ReadSettings() {
    const TIniFile ini(settingsFileName_);
    const int top = ini.ReadInteger(settingsPositionSection, QStringLiteral("M_TOP"), Top());
    const int left = ini.ReadInteger(settingsPositionSection, QStringLiteral("M_LEFT"), Left());
    // One move, not two: a window manager handed two quick requests may report the first last.
    const QRect remembered(left, top, Width(), Height());
    move(framework::reachablePosition(remembered, pos()));
    BrowseEdit1->setPath(
        ini.ReadString(settingsPathSection, QStringLiteral("PATH"), BrowseEdit1->Path()));
    BrowseEdit1Change();
    if (BrowseEdit1->Path().isEmpty())
        BrowseEdit1->setPath(app::defaultDestination());
}

void TChangeForm1::WriteSettings() {
    // The per-user folder that stands in for a read-only program folder may not exist yet.
    QDir().mkpath(QFileInfo(settingsFileName_).absolutePath());
    TIniFile ini(settingsFileName_);
    ini.WriteInteger(settingsPositionSection, QStringLiteral("M_TOP"), Top());
    ini.WriteInteger(settingsPositionSection, QStringLiteral("M_LEFT"), Left());
    ini.WriteString(settingsPathSection, QStringLiteral("PATH"), BrowseEdit1->Path());
}

void TChangeForm1::ExamineCommandLine() {
    for (qsizetype i = 1; i < commandLine_.size(); ++i) {
        const QString argument = commandLine_[i];
        if (!platform::fileExists(argument)) {
            tellIgnoredArgument(argument, "no such file");
            continue;
        }
        fileExt_ =
            QString::fromStdString(core::extractFileExt(utf8(argument), core::PathRules::native()));
        if (isAviName(argument))
            Edit2->setFilename(argument);
        else
            tellIgnoredArgument(argument, "the window opens AVI movies only; use kirimo-extract "
                                          "for other movies");
    }
}

// ---- Title-bar buttons ----

void TChangeForm1::SSButton8Click() {
    Close();
}

void TChangeForm1::SSButton7Click() {
    setWindowState(wsMinimized);
}

void TChangeForm1::SSButton6Click() {
    const QString guide = app::guidePath(exeDir_);
    if (platform::shellOpen(guide))
        return;
    platform::messageBox(this,
                         QStringLiteral("説明書を開けません。\n%1\n%2")
                             .arg(guide, whyNotOpened(platform::shellOpenFailure(guide))),
                         TApplication::Title(), platform::MessageIcon::Error,
                         platform::MessageButtons::Ok);
}

void TChangeForm1::SSButton5Click() {
    if (InfoForm1 != nullptr)
        InfoForm1->ShowModal();
}

// ---- Mascot ----

void TChangeForm1::DrawMascot(int picture) {
    {
        platform::Canvas canvas(Image1->Picture());
        ImageList1->Draw(canvas, 0, 0, picture);
    }
    Image1->Invalidate();
}

void TChangeForm1::Timer1Timer() {
    DrawMascot(mascotPictureOfStep[std::size_t(animFrame_)]);
    ++animFrame_;
    if (animFrame_ == int(mascotPictureOfStep.size()))
        animFrame_ = 0;
}

// ---- Loading a movie ----

void TChangeForm1::Edit2Change() {
    const QString fileName = Edit2->Filename();
    if (fileName.isEmpty())
        return;
    const QString hint = Edit2->Hint();
    Edit2->setHint(fileName);
    try {
        app::loadMovie(*GKitMSPlay1, fileName);
    } catch (...) {
        // The player keeps the movie it had, so the edit names that one again: Convert names
        // its files after the edit and must never put one movie's frames under another's name.
        // Unloading instead would throw away the user's movie and range for a mistaken pick.
        Edit2->BeginUpdate();
        Edit2->setFilename(GKitMSPlay1->FileName());
        Edit2->EndUpdate();
        Edit2->setHint(GKitMSPlay1->hasMovie() ? GKitMSPlay1->FileName() : hint);
        throw;
    }
    LoadSteps();
}

void TChangeForm1::WMDropFiles(const QStringList& files) {
    QString lastAvi;
    for (const QString& file : files)
        if (isAviName(file))
            lastAvi = file;
    // A drop without a movie must not bring back one dropped long ago over the one loaded since.
    if (lastAvi.isEmpty())
        return;
    dropFileName_ = lastAvi;
    // A new name loads the movie through Edit2Change; loading it once more would only open it
    // again and report a frame it cannot deliver twice.
    if (Edit2->Filename() != dropFileName_) {
        Edit2->setFilename(dropFileName_);
        return;
    }
    Edit2->setHint(dropFileName_);
    app::loadMovie(*GKitMSPlay1, dropFileName_);
    LoadSteps();
}

void TChangeForm1::LoadSteps() {
    const auto length = [this] { return GKitMSPlay1->Length(); };
    FadingLabel2->setCaption(QStringLiteral("全%1ﾌﾚｰﾑ").arg(std::int64_t(length()) + 1));
    const auto height = GKitMSPlay1->MovieHeight(); // the player expects height, then width
    FadingLabel3->setCaption(QStringLiteral("%1 x %2").arg(GKitMSPlay1->MovieWidth()).arg(height));
    SpinEdit4->setEnabled(true);
    SpinEdit5->setEnabled(true);
    SpinEdit6->setEnabled(true);
    SpinEdit4->setMaxValue(length());
    SpinEdit4->setValue(0);
    // A first frame the player cannot deliver is reported here, and again at Convert; the load
    // itself goes on, or the range and Convert would stay as the previous movie left them.
    runGuarded([this] { SpinEdit4Change(); });
    SpinEdit5->setMaxValue(length());
    SpinEdit5->setMinValue(0);
    const QString endText = SpinEdit5->Text();
    SpinEdit5->setValue(length());
    // A movie as long as the one before leaves the end's text alone, so no change event comes;
    // the end thumbnail must still show the new movie.
    if (SpinEdit5->Text() == endText)
        runGuarded([this] { SpinEdit5Change(); });
    SpinEdit6->setMaxValue(length());
    SpinEdit6->setValue(1);
    ShadowLabel14->setCaption(CountText());
    dxfProgressBar1->setMax(length());
    dxfProgressBar1->setPosition(length());
    FadingLabel2->setEnabled(true);
    FadingLabel3->setEnabled(true);
    ProgressBar1->setPosition(0);
    SSButton1->setEnabled(true);
    Timer1->setEnabled(true);
}

// ---- Frame range and destination ----

int TChangeForm1::StartFrame() const {
    return SpinEdit4->Value();
}

int TChangeForm1::EndFrame() const {
    return SpinEdit5->Value();
}

int TChangeForm1::FrameInterval() const {
    return SpinEdit6->Value();
}

int TChangeForm1::LastSelectableFrame() const {
    // A one-frame movie cannot lower the edit's maximum to 0 (it must stay above the minimum),
    // so the movie's own last frame bounds the end as well.
    const int bound = SpinEdit5->MaxValue();
    return GKitMSPlay1->hasMovie() ? std::min(bound, int(GKitMSPlay1->Length())) : bound;
}

QString TChangeForm1::CountText() const {
    // Convert refuses an interval below 1, so such an interval selects no frames; 0 itself
    // still raises the division error below.
    if (FrameInterval() < 0)
        return QStringLiteral("0");
    return QString::fromStdString(
        core::intToStr(core::frameCount(StartFrame(), EndFrame(), FrameInterval())));
}

int TChangeForm1::CountLabelValue() const {
    const std::optional<std::int32_t> count = core::strToInt(utf8(ShadowLabel14->Caption()));
    if (!count)
        throw core::Error("'" + utf8(ShadowLabel14->Caption()) + "' は整数ではありません");
    return *count;
}

void TChangeForm1::CorrectValue(TSpinEdit& edit, int value) {
    // The write runs the edit's change handler again, nested. What fails there fails this
    // correction: it comes back here, to the guarded block's beep and undo, instead of being
    // reported on the spot and once more when the outer run repeats the same steps.
    struct Restore {
        TChangeForm1& form;
        bool correcting;
        std::exception_ptr outerFailure;
        ~Restore() {
            form.correcting_ = correcting;
            form.nestedFailure_ = outerFailure;
        }
    } restore{*this, std::exchange(correcting_, true), std::exchange(nestedFailure_, nullptr)};
    edit.setValue(value);
    if (const std::exception_ptr failure = nestedFailure_)
        std::rethrow_exception(failure);
}

void TChangeForm1::RunChangeHandler(const std::function<void()>& steps) {
    if (!correcting_) {
        steps();
        return;
    }
    try {
        steps();
    } catch (...) {
        if (!nestedFailure_)
            nestedFailure_ = std::current_exception();
    }
}

void TChangeForm1::SpinEdit4Change() {
    RunChangeHandler([this] { StartChanged(); });
}

void TChangeForm1::StartChanged() {
    try {
        if (StartFrame() != 0) {
            if (StartFrame() < 0)
                CorrectValue(*SpinEdit4, 0);
            if (StartFrame() > EndFrame())
                CorrectValue(*SpinEdit4, EndFrame());
        }
    } catch (const std::exception&) {
        platform::beep();
        SpinEdit4->Undo();
        SpinEdit4->ClearUndo();
    }
    SpinEdit5->setMinValue(StartFrame());
    ShadowLabel14->setCaption(CountText());
    dxfProgressBar1->setPosition(CountLabelValue());
    StartThumbnail();
}

void TChangeForm1::SpinEdit5Change() {
    RunChangeHandler([this] { EndChanged(); });
}

void TChangeForm1::EndChanged() {
    try {
        if (EndFrame() != 0) {
            if (EndFrame() < StartFrame())
                CorrectValue(*SpinEdit5, StartFrame());
            if (EndFrame() > LastSelectableFrame())
                CorrectValue(*SpinEdit5, LastSelectableFrame());
        }
    } catch (const std::exception&) {
        platform::beep();
        SpinEdit5->Undo();
        SpinEdit5->ClearUndo();
    }
    SpinEdit4->setMaxValue(EndFrame());
    ShadowLabel14->setCaption(CountText());
    dxfProgressBar1->setPosition(CountLabelValue());
    EndThumbnail();
}

// A thumbnail far from its key frame takes long to decode, and a held key repeats faster than
// that: the repeats would queue behind the fetches and step on long after the key is released.
// While a stepping key is down in a range edit, or any key repeats there, steps only mark their
// thumbnail due; it is fetched, once, when the key is up.
void TChangeForm1::StartThumbnail() {
    startThumbnailDue_ = keyRepeat_ != KeyRepeat::None;
    if (startThumbnailDue_)
        return;
    GKitMSPlay1->CopyToClipboard(StartFrame());
    Image2->setPictureFromClipboard();
}

void TChangeForm1::EndThumbnail() {
    endThumbnailDue_ = keyRepeat_ != KeyRepeat::None;
    if (endThumbnailDue_)
        return;
    GKitMSPlay1->CopyToClipboard(EndFrame());
    Image3->setPictureFromClipboard();
}

void TChangeForm1::watchKeyRepeat(QObject* watched, const QEvent& event) {
    if (watched != SpinEdit4->Editor() && watched != SpinEdit5->Editor())
        return;
    const auto type = event.type();
    if (type == QEvent::FocusOut && keyRepeat_ != KeyRepeat::None) {
        KeyRepeatEnded(); // the release may go to another window
        return;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return;
    // The window system marks repeats by a press that follows its release at once, and may hand
    // over the release before that press: an unmarked release counts as the key's last only
    // when no press follows it shortly.
    const auto& key = static_cast<const QKeyEvent&>(event);
    const bool stepping = key.key() == Qt::Key_Up || key.key() == Qt::Key_Down ||
                          key.key() == Qt::Key_PageUp || key.key() == Qt::Key_PageDown;
    if (key.isAutoRepeat() ||
        (type == QEvent::KeyPress && (stepping || keyRepeat_ != KeyRepeat::None))) {
        keyRepeat_ = KeyRepeat::Held;
        keyRepeatEnd_.stop();
    } else if (type == QEvent::KeyRelease && keyRepeat_ != KeyRepeat::None) {
        keyRepeat_ = KeyRepeat::Released;
        keyRepeatEnd_.start();
    }
}

void TChangeForm1::KeyRepeatCheck() {
    // A repeat's press may wait behind this timer in the same turn of the event loop.
    QCoreApplication::processEvents();
    if (keyRepeat_ == KeyRepeat::Released)
        KeyRepeatEnded();
}

void TChangeForm1::KeyRepeatEnded() {
    keyRepeat_ = KeyRepeat::None;
    keyRepeatEnd_.stop();
    if (startThumbnailDue_)
        runGuarded([this] { StartThumbnail(); });
    if (endThumbnailDue_)
        runGuarded([this] { EndThumbnail(); });
}

void TChangeForm1::SpinEdit6Change() {
    ShadowLabel14->setCaption(CountText());
    dxfProgressBar1->setPosition(CountLabelValue());
}

void TChangeForm1::BrowseEdit1Change() {
    BrowseEdit1->setPath(
        app::withoutTrailingDelimiter(BrowseEdit1->Path(), core::PathRules::native()));
    BrowseEdit1->setHint(BrowseEdit1->Path());
}

// ---- Convert ----

void TChangeForm1::SSButton1Click() {
    try {
        ConvertFrames();
    } catch (const std::exception&) {
        platform::beep();
        platform::messageBox(this, unsupportedFormatText, TApplication::Title(),
                             platform::MessageIcon::None, platform::MessageButtons::Ok);
    }
}

void TChangeForm1::ConvertFrames() {
    // A typed interval below 1 that the edit has not corrected yet would never reach the end.
    if (FrameInterval() < 1)
        throw core::Error("the frame interval is below 1");
    core::forceDirectories(utf8(BrowseEdit1->Path()), core::PathRules::native());
    ProgressBar1->setPosition(0);
    ProgressBar1->setMax(CountLabelValue());
    std::int64_t frame = StartFrame();
    if (PreviewForm1 != nullptr) {
        PreviewForm1->Close();
        PreviewForm1->Player().Stop();
    }
    GKitMSPlay1->Pause();
    int written = 0;
    while (frame <= EndFrame()) {
        SaveFrame(int(frame));
        ++written;
        ProgressBar1->setPosition(written);
        ProgressBar1->Repaint();
        const int interval = FrameInterval();
        if (interval < 1)
            throw core::Error("the frame interval is below 1");
        frame += interval;
    }
    GKitMSPlay1->Play();
    Timer1->setEnabled(false);
    DrawMascot(mascotFinishedPicture);
}

void TChangeForm1::SaveFrame(int frame) {
    // The frame travels through the clipboard into the frame holder as the user sees it; the
    // file takes the decoded frame itself (fetched again without decoding), so a palettised
    // movie keeps its colour table.
    GKitMSPlay1->CopyToClipboard(frame);
    Image4->setPictureFromClipboard();
    const std::string fileName = core::outputFileName(
        utf8(BrowseEdit1->Path()), utf8(Edit2->Filename()), frame, core::PathRules::native());
    core::writeBmpFile(core::pathFromUtf8(fileName), GKitMSPlay1->Frame(frame));
}

// ---- Preview ----

void TChangeForm1::GKitMSPlay1Click() {
    const QString fileName = Edit2->Filename();
    if (fileName.isEmpty() || PreviewForm1 == nullptr)
        return;
    GKitMSPlay1->Pause();
    if (PreviewForm1->isVisible()) {
        PreviewForm1->raise();
        PreviewForm1->activateWindow();
    }
    PreviewForm1->Show();
    PreviewForm1->setCaption(QStringLiteral("Preview - ") + fileName);
    app::loadMovie(PreviewForm1->Player(), fileName);
}

// ---- Drops ----

void TChangeForm1::routeDropsToWindow() {
    for (QWidget* child : findChildren<QWidget*>())
        if (child->acceptDrops())
            child->installEventFilter(this);
}

void TChangeForm1::dragEnterEvent(QDragEnterEvent* event) {
    answerDrag(*event);
}

void TChangeForm1::dragMoveEvent(QDragMoveEvent* event) {
    answerDrag(*event);
}

void TChangeForm1::dropEvent(QDropEvent* event) {
    const QStringList files = localFilesOf(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    WMDropFiles(files);
}

bool TChangeForm1::eventFilter(QObject* watched, QEvent* event) {
    watchKeyRepeat(watched, *event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
            answerDrag(*static_cast<QDragMoveEvent*>(event));
            return true;
        }
        break;
    case QEvent::Drop:
        if (static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
            runGuarded([&] { dropEvent(static_cast<QDropEvent*>(event)); });
            return true;
        }
        break;
    default:
        break;
    }
    return TForm::eventFilter(watched, event);
}
