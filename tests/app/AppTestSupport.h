#pragma once

#include "platform/ServiceRecorder.h"
#include "support/ScratchDir.h"
#include "support/testmedia/TestMedia.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <string>

class QImage;
class QWidget;
class TBrowseEdit;
class TChangeForm1;
class TCustomBrowseEdit;
class TCustomSpinEdit;
class TFileOpenEdit;
class TForm;
class TGKitMSPlay;
class TInfoForm1;
class TPreviewForm1;
class TSpinEdit;
class TTimer;
class TdxfProgressBar;

// A fresh folder under KIRIMO_TEST_TMP (or the system's temp folder), removed afterwards.
class AppScratch : public ScratchDir {
public:
    AppScratch() : ScratchDir(QStringLiteral("app")) {}
    std::filesystem::path fsPath(const QString& name) const;
};

testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int width = 64,
                                int height = 48);
// A movie written once per test run and shared by the tests that ask for the same one.
QString testMovie(const testmedia::MovieRecipe& recipe);
// The common small movie: 64 x 48, raw 24-bit, `frames` frames.
QString smallMovie(int frames = 30);

// The frame number drawn into a test movie's picture.
int frameNumberOf(const QImage& picture);

// The three windows as start-up creates them, reached through their global pointers; the
// settings file and the program folder live in a scratch folder, and the command line names
// only the program.
class AppWindows {
public:
    AppWindows();
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    TChangeForm1& main() const { return *main_; }
    TPreviewForm1& preview() const { return *preview_; }
    TInfoForm1& info() const { return *info_; }
    const AppScratch& scratch() const { return scratch_; }
    QString settingsFile() const;

    template <class T> T& control(const QString& name) const;

    // The main window's controls the tests drive most.
    TFileOpenEdit& source() const;
    TSpinEdit& start() const;
    TSpinEdit& end() const;
    TSpinEdit& interval() const;
    TBrowseEdit& destination() const;
    TGKitMSPlay& smallPlayer() const;
    TTimer& mascotTimer() const;
    TdxfProgressBar& progress() const;
    TdxfProgressBar& countGauge() const;
    QString count() const;
    QImage shownMascot() const;
    QImage mascotPicture(int index) const;

private:
    AppScratch scratch_;
    std::unique_ptr<TChangeForm1> main_;
    std::unique_ptr<TPreviewForm1> preview_;
    std::unique_ptr<TInfoForm1> info_;
};

struct RecordedServices {
    platform::ServiceRecorder recorder;
};

// The windows with every desktop service recorded; the recorder outlives the windows.
class RecordedWindows : public RecordedServices, public AppWindows {};

// Whole-file helpers.
std::string fileBytes(const QString& path);
std::string fileBytes(const std::filesystem::path& path);
void writeText(const QString& path, const std::string& text);

// The bytes the program must write for frame n of a movie.
std::string expectedBmp(const QString& movie, int frame);

// A left press at `at` (window coordinates) delivered to what lies there, then a move by
// `delta` with the button held, then the release. Returns the window's move.
QPoint dragWindowFrom(TForm& window, QPoint at, QPoint delta);
// The widget a press at `at` reaches.
QWidget* mouseTargetAt(TForm& window, QPoint at);
// A left press and release at the widget's centre.
void leftClick(QWidget& target);

// Types the text over the whole content of the edit, key by key, as a user does; leaving moves
// the focus out of it.
void typeInto(TCustomSpinEdit& edit, const QString& text);
void leaveEdit(TCustomSpinEdit& edit);

// Clicks the edit's browse button as the mouse does (an error goes to the standard report).
void clickBrowseButton(TCustomBrowseEdit& edit);

// Drops the files on the widget (window coordinates of `target`'s centre).
void dropFiles(QWidget& target, const QStringList& files);
// Drags the files over the widget's centre, an enter and then a move, without a drop; returns how
// many of the two the window accepted.
int acceptedDragEvents(QWidget& target, const QStringList& files);

#include "app/ChangeForm1.h"

template <class T> T& AppWindows::control(const QString& name) const {
    return main_->Component<T>(name);
}
