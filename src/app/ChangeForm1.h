#pragma once

#include "framework/Form.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <exception>
#include <functional>

class QDragEnterEvent;
class QDropEvent;
class TAHMFadingLabel;
class TBrowseEdit;
class TdxfProgressBar;
class TFileOpenEdit;
class TGKitMSPlay;
class TImage;
class TImageList;
class TShadowLabel;
class TShineSpeedButton;
class TSpinEdit;
class TTimer;

// The main window: source movie, frame range, destination, Convert, the small player and the
// mascot, on a frameless skinned surface that is moved by dragging it. Its controls come from
// its form description (":/forms/ChangeForm1.form").
class TChangeForm1 : public TForm {
    Q_OBJECT

public:
    explicit TChangeForm1(QWidget* parent = nullptr);
    ~TChangeForm1() override;

    // Fields of the window besides its controls.
    int AnimFrame() const { return animFrame_; }
    const QString& DropFileName() const { return dropFileName_; }
    const QString& FileExt() const { return fileExt_; }
    const QString& ExeDir() const { return exeDir_; }
    void setExeDir(const QString& dir) { exeDir_ = dir; }

    // Where the settings are kept, and the arguments FormShow examines (argument 0 is the
    // program). Both default to the running program's; tests and the headless mode set them.
    const QString& settingsFileName() const { return settingsFileName_; }
    void setSettingsFileName(const QString& fileName) { settingsFileName_ = fileName; }
    void setCommandLine(const QStringList& arguments) { commandLine_ = arguments; }

    // The small player, for the preview window.
    TGKitMSPlay& Player() const { return *GKitMSPlay1; }

    // Files dropped on the window, in the order given.
    void WMDropFiles(const QStringList& files);

    // Handlers bound by the form description.
    Q_INVOKABLE void FormShow() override;
    Q_INVOKABLE void FormClose() override;
    Q_INVOKABLE void Timer1Timer();
    Q_INVOKABLE void Edit2Change();
    Q_INVOKABLE void SpinEdit4Change();
    Q_INVOKABLE void SpinEdit5Change();
    Q_INVOKABLE void SpinEdit6Change();
    Q_INVOKABLE void BrowseEdit1Change();
    Q_INVOKABLE void SSButton1Click();
    Q_INVOKABLE void SSButton5Click();
    Q_INVOKABLE void SSButton6Click();
    Q_INVOKABLE void SSButton7Click();
    Q_INVOKABLE void SSButton8Click();
    Q_INVOKABLE void GKitMSPlay1Click();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Drops on a child that takes text drops of its own (the edits) still reach the window.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findControls();
    void routeDropsToWindow();
    void LoadSteps();
    void ReadSettings();
    void WriteSettings();
    void ExamineCommandLine();
    void ConvertFrames();
    void SaveFrame(int frame);
    void DrawMascot(int picture);
    int StartFrame() const;
    int EndFrame() const;
    int FrameInterval() const;
    int LastSelectableFrame() const;
    QString CountText() const;
    int CountLabelValue() const;
    void StartChanged();
    void EndChanged();
    void StartThumbnail();
    void EndThumbnail();
    void watchKeyRepeat(QObject* watched, const QEvent& event);
    void KeyRepeatCheck();
    void KeyRepeatEnded();
    void CorrectValue(TSpinEdit& edit, int value);
    void RunChangeHandler(const std::function<void()>& steps);

    int animFrame_ = 0;
    QString dropFileName_;
    QString fileExt_;
    QString exeDir_;
    QString settingsFileName_;
    QStringList commandLine_;
    bool correcting_ = false;          // a range edit's handler is writing a corrected value
    std::exception_ptr nestedFailure_; // what failed in the handler run by that write
    // A key down in a range edit, and released but perhaps only between two repeats.
    enum class KeyRepeat { None, Held, Released };
    KeyRepeat keyRepeat_ = KeyRepeat::None;
    QTimer keyRepeatEnd_;            // runs from a release until the key counts as up
    bool startThumbnailDue_ = false; // steps made while it is down, not yet shown
    bool endThumbnailDue_ = false;

    TShadowLabel* ShadowLabel14 = nullptr;
    TAHMFadingLabel* FadingLabel2 = nullptr;
    TAHMFadingLabel* FadingLabel3 = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TImage* Image3 = nullptr;
    TImage* Image4 = nullptr;
    TGKitMSPlay* GKitMSPlay1 = nullptr;
    TShineSpeedButton* SSButton1 = nullptr;
    TBrowseEdit* BrowseEdit1 = nullptr;
    TSpinEdit* SpinEdit4 = nullptr;
    TSpinEdit* SpinEdit5 = nullptr;
    TSpinEdit* SpinEdit6 = nullptr;
    TdxfProgressBar* ProgressBar1 = nullptr;
    TdxfProgressBar* dxfProgressBar1 = nullptr;
    TFileOpenEdit* Edit2 = nullptr;
    TTimer* Timer1 = nullptr;
    TImageList* ImageList1 = nullptr;
};

// The main window, created first at start-up.
extern TChangeForm1* ChangeForm1;
