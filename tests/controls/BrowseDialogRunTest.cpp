// The real platform dialogs, run modally and inspected from inside their own event loop.
#include "BrowseTestSupport.h"
#include "controls/BrowseDlg.h"
#include "controls/DialogPlacement.h"
#include "controls/EditButton.h"
#include "controls/FileOpenEdit.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace browsetest;

namespace {

// Runs inspect on the modal dialog once it is up, then cancels it.
void whenDialogRuns(std::function<void(QFileDialog&)> inspect) {
    QTimer::singleShot(0, [inspect = std::move(inspect)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no dialog is running";
            return;
        }
        inspect(*dialog);
        dialog->reject();
    });
}

bool acceptEnabled(const QFileDialog& dialog) {
    for (const QDialogButtonBox* box : dialog.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                return button->isEnabled();
    ADD_FAILURE() << "no OK button";
    return false;
}

class FolderDialogRun : public ::testing::TestWithParam<bool> {};

TEST_P(FolderDialogRun, OpensPlacedAndCaptionedAndCancels) {
    const bool enableOk = GetParam();
    TBrowseDlg browse;
    browse.setCaptionTitle(QStringLiteral("保存先の選択"));
    browse.setPosition(bpTopLeft);
    browse.setRelatePos(brScreen);
    browse.setSelectedFolder(QStringLiteral("/"));
    browse.setOptions(enableOk ? TBrowseDlg::kDefaultOptions | doEnableOK
                               : TBrowseDlg::kDefaultOptions);
    int inits = 0;
    browse.setOnInit([&](TBrowseDlg& sender) {
        ++inits;
        EXPECT_EQ(&sender, &browse);
    });
    bool inspected = false;
    whenDialogRuns([&](QFileDialog& dialog) {
        inspected = true;
        EXPECT_EQ(browse.Handle(), &dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("保存先の選択"));
        EXPECT_EQ(dialog.pos(), QPoint(0, 0));
        EXPECT_EQ(acceptEnabled(dialog), enableOk);
        EXPECT_EQ(inits, 1);
    });
    EXPECT_FALSE(browse.ExecuteEnh(nullptr));
    EXPECT_TRUE(inspected);
    EXPECT_EQ(browse.Handle(), nullptr);
    EXPECT_EQ(browse.SelectedFolder(), QStringLiteral("/"));
}

INSTANTIATE_TEST_SUITE_P(BrowseDialogs, FolderDialogRun, ::testing::Bool());

TEST(BrowseDialogs, SelectionChangesReachTheHandlerAndTheStatusText) {
    TBrowseDlg browse;
    QStringList paths;
    QWidget* window = nullptr;
    browse.setOnSelectionChanged([&](TBrowseDlg&, QWidget* dialog, const QString& path) {
        paths << path;
        window = dialog;
    });
    const QString longPath =
        QStringLiteral("/home/someone/Videos/kirimo/frames/2024/summer/output");
    whenDialogRuns([&](QFileDialog& dialog) {
        emit dialog.currentChanged(longPath);
        EXPECT_EQ(window, &dialog);
    });
    browse.ExecuteEnh(nullptr);
    EXPECT_EQ(paths, QStringList{QDir::toNativeSeparators(longPath)});
    EXPECT_EQ(browse.StatusText(),
              QDir::toNativeSeparators(QStringLiteral("/.../kirimo/frames/2024/summer/output")));
}

TEST(BrowseDialogs, FileOpenDialogCentredOnTheMonitorAndCancelled) {
    auto host = makeHost();
    auto* edit = new TFileOpenEdit(host.get()); // owned by the host
    edit->setFilename(QStringLiteral("/movies/clip.avi"));
    int changes = 0;
    edit->setOnChange([&] { ++changes; });
    bool inspected = false;
    whenDialogRuns([&](QFileDialog& dialog) {
        inspected = true;
        const QRect monitor = controls::dialogMonitor(host.get());
        EXPECT_EQ(dialog.pos(), controls::fileDialogTopLeft(monitor, dialog.size()));
    });
    click(edit->BrowseButton(), QPoint(9, 7));
    EXPECT_TRUE(inspected);
    EXPECT_EQ(edit->Filename(), QStringLiteral("/movies/clip.avi"));
    EXPECT_EQ(changes, 0);
}

} // namespace
