#include "controls/BrowseEdit.h"

#include "BrowseTestSupport.h"
#include "controls/BrowseDlg.h"
#include "controls/EditButton.h"
#include "controls/FileOpenEdit.h"

#include <QDir>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace browsetest;

namespace {

// ---- File-open edit ----------------------------------------------------------------------

class FileOpenEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit = new TFileOpenEdit(host.get()); // owned by the host
        edit->setBounds(45, 20, 126, 19);
        edit->setOnChange([this] { seen << edit->Filename(); });
    }

    void clickButton() { click(edit->BrowseButton(), QPoint(9, 7)); }

    std::unique_ptr<TPanel> host = makeHost();
    TFileOpenEdit* edit = nullptr;
    QStringList seen;
};

TEST_F(FileOpenEditTest, ChosenFileBecomesTheTextWithOneOnChange) {
    OpenFileAnswer answer(QStringLiteral("/movies/clip.avi"));
    clickButton();
    ASSERT_EQ(answer.requests.size(), 1u);
    EXPECT_EQ(edit->Filename(), QStringLiteral("/movies/clip.avi"));
    EXPECT_EQ(edit->Text(), edit->Filename());
    EXPECT_EQ(seen, QStringList{QStringLiteral("/movies/clip.avi")});
}

TEST_F(FileOpenEditTest, ChoosingTheFileAlreadyShownCallsNoOnChange) {
    edit->setFilename(QStringLiteral("/movies/clip.avi"));
    seen.clear();
    OpenFileAnswer answer(QStringLiteral("/movies/clip.avi"));
    clickButton();
    EXPECT_EQ(answer.requests.size(), 1u);
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(FileOpenEditTest, CancelOrAnEmptyAnswerChangesNothing) {
    edit->setFilename(QStringLiteral("/movies/clip.avi"));
    seen.clear();
    for (const std::optional<QString>& result :
         {std::optional<QString>(), std::optional(QString())}) {
        OpenFileAnswer answer(result);
        clickButton();
        EXPECT_EQ(answer.requests.size(), 1u);
    }
    EXPECT_EQ(edit->Filename(), QStringLiteral("/movies/clip.avi"));
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(FileOpenEditTest, ReadOnlySourceEditStillTakesTheButtonsResult) {
    edit->setReadOnly(true);
    edit->setFilename(QStringLiteral("/movies/old.avi"));
    OpenFileAnswer answer(QStringLiteral("/movies/new.avi"));
    clickButton();
    EXPECT_EQ(edit->Filename(), QStringLiteral("/movies/new.avi"));
    EXPECT_EQ(seen, (QStringList{"/movies/old.avi", "/movies/new.avi"}));
}

TEST_F(FileOpenEditTest, DialogGetsTheEditsSettingsAndAnEmptyNameBox) {
    edit->setFilter(QStringLiteral("AVIファイル (*.avi)|*.avi"));
    edit->setDefaultExt(QStringLiteral("avi"));
    edit->setFilename(QStringLiteral("/movies/clip.avi"));
    OpenFileAnswer answer(std::nullopt);
    clickButton();
    ASSERT_EQ(answer.requests.size(), 1u);
    const platform::OpenFileRequest& request = answer.requests.front();
    EXPECT_EQ(request.owner, host.get());
    EXPECT_EQ(request.options.filter, QStringLiteral("AVIファイル (*.avi)"));
    EXPECT_EQ(request.options.filterIndex, 1);
    EXPECT_EQ(request.options.defaultExt, QStringLiteral("avi"));
    EXPECT_TRUE(request.options.title.isEmpty());
    EXPECT_TRUE(request.options.initialDir.isEmpty());
    EXPECT_TRUE(request.options.fileName.isEmpty());
    // The default options let the dialog take a typed name as it is.
    EXPECT_FALSE(request.options.fileMustExist);
}

TEST_F(FileOpenEditTest, TitleInitialDirAndFileMustExistPassOn) {
    edit->setTitle(QStringLiteral("変換元"));
    const QString dir = QDir::toNativeSeparators(QStringLiteral("/movies/"));
    edit->setInitialDir(dir);
    edit->setOptions(ofHideReadOnly | ofFileMustExist);
    OpenFileAnswer answer(std::nullopt);
    clickButton();
    ASSERT_EQ(answer.requests.size(), 1u);
    EXPECT_EQ(answer.requests.front().options.title, QStringLiteral("変換元"));
    EXPECT_EQ(answer.requests.front().options.initialDir, dir.chopped(1));
    EXPECT_TRUE(answer.requests.front().options.fileMustExist);
}

TEST_F(FileOpenEditTest, OnlyTheButtonOpensTheDialog) {
    OpenFileAnswer answer(QStringLiteral("/movies/clip.avi"));
    click(edit, QPoint(104, 9)); // the gap left of the button
    click(edit->editor(), QPoint(20, 6));
    EXPECT_TRUE(answer.requests.empty());
    EXPECT_TRUE(edit->Filename().isEmpty());
}

TEST_F(FileOpenEditTest, DroppedFilesGoOnToTheWindow) {
    host->setAcceptDrops(true);
    // Qt hands a drop to the nearest widget under the mouse that takes drops.
    QWidget* target = edit->editor();
    while (target != nullptr && !target->acceptDrops())
        target = target->parentWidget();
    EXPECT_EQ(target, host.get());
}

// ---- Folder-browse edit -----------------------------------------------------------------

class BrowseEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit = new TBrowseEdit(host.get()); // owned by the host
        edit->setBounds(151, 20, 126, 19);
        edit->beginLoading();
        edit->setPath(QStringLiteral("C:/My Documents"));
        edit->endLoading();
        edit->setOnChange([this] { seen << edit->Path(); });
    }

    void clickButton() { click(edit->BrowseButton(), QPoint(9, 7)); }

    std::unique_ptr<TPanel> host = makeHost();
    TBrowseEdit* edit = nullptr;
    QStringList seen;
};

TEST_F(BrowseEditTest, WithoutStartWithLastTheDialogOpensAtNoFolder) {
    FolderAnswer answer(std::nullopt);
    clickButton();
    ASSERT_EQ(answer.requests.size(), 1u);
    EXPECT_TRUE(answer.requests.front().options.initialDir.isEmpty());
    EXPECT_FALSE(answer.requests.front().options.showFiles);
    EXPECT_EQ(answer.requests.front().owner, host.get());
}

TEST_F(BrowseEditTest, StartWithLastOpensAtThePath) {
    edit->setStartWithLast(true);
    FolderAnswer answer(std::nullopt);
    clickButton();
    ASSERT_EQ(answer.requests.size(), 1u);
    EXPECT_EQ(answer.requests.front().options.initialDir, QStringLiteral("C:/My Documents"));
}

TEST_F(BrowseEditTest, ChosenFolderBecomesThePathWithOneOnChange) {
    FolderAnswer answer(QStringLiteral("/data/frames"));
    clickButton();
    EXPECT_EQ(edit->Path(), QStringLiteral("/data/frames"));
    EXPECT_EQ(edit->Text(), edit->Path());
    EXPECT_EQ(seen, QStringList{QStringLiteral("/data/frames")});
}

TEST_F(BrowseEditTest, ChosenDriveRootKeepsItsBackslashForTheHandlerToDrop) {
    edit->setOnChange([this] {
        seen << edit->Path();
        if (edit->Path().endsWith(u'\\'))
            edit->setPath(edit->Path().chopped(1));
    });
    FolderAnswer answer(QStringLiteral("C:\\"));
    clickButton();
    EXPECT_EQ(seen, (QStringList{"C:\\", "C:"}));
    EXPECT_EQ(edit->Path(), QStringLiteral("C:"));
}

TEST_F(BrowseEditTest, CancelChangesNothing) {
    FolderAnswer answer(std::nullopt);
    clickButton();
    EXPECT_EQ(edit->Path(), QStringLiteral("C:/My Documents"));
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(BrowseEditTest, OnExecuteSeesThePreparedDialogAndMayChangeIt) {
    edit->setStartWithLast(true);
    edit->setOptions(TBrowseDlg::kDefaultOptions | doShowFiles);
    edit->setStartFolder(bfoPersonal);
    int calls = 0;
    edit->setOnExecute([&](TBrowseEdit& sender, TBrowseDlg& dialog) {
        ++calls;
        EXPECT_EQ(&sender, edit);
        EXPECT_EQ(dialog.SelectedFolder(), QStringLiteral("C:/My Documents"));
        EXPECT_EQ(dialog.Options(), edit->Options());
        EXPECT_EQ(dialog.StartFolder(), bfoPersonal);
        EXPECT_TRUE(dialog.CaptionTitle().isEmpty());
        EXPECT_EQ(dialog.Position(), bpCenter);
        EXPECT_EQ(dialog.RelatePos(), brActiveWindow);
        dialog.setCaptionTitle(QStringLiteral("保存先"));
    });
    FolderAnswer answer(std::nullopt);
    clickButton();
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(answer.requests.size(), 1u);
    EXPECT_EQ(answer.requests.front().options.title, QStringLiteral("保存先"));
    EXPECT_TRUE(answer.requests.front().options.showFiles);
}

TEST_F(BrowseEditTest, TypingChangesThePath) {
    edit->editor()->end(false);
    type(edit->editor(), QStringLiteral("/x"));
    EXPECT_EQ(edit->Path(), QStringLiteral("C:/My Documents/x"));
    EXPECT_EQ(seen.size(), 2);
}

// ---- Folder dialog component ------------------------------------------------------------

TEST(BrowseDlg, ChoiceSetsSelectedFolderAndDisplayName) {
    TBrowseDlg dialog;
    FolderAnswer answer(QDir::toNativeSeparators(QStringLiteral("/data/frames")));
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.SelectedFolder(), QDir::toNativeSeparators(QStringLiteral("/data/frames")));
    EXPECT_EQ(dialog.DisplayName(), QStringLiteral("frames"));
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(BrowseDlg, CancelKeepsSelectedFolder) {
    TBrowseDlg dialog;
    dialog.setSelectedFolder(QStringLiteral("/data"));
    FolderAnswer answer(std::nullopt);
    EXPECT_FALSE(dialog.ExecuteEnh(nullptr));
    EXPECT_EQ(dialog.SelectedFolder(), QStringLiteral("/data"));
    ASSERT_EQ(answer.requests.size(), 1u);
    EXPECT_EQ(answer.requests.front().options.initialDir, QStringLiteral("/data"));
    EXPECT_EQ(answer.requests.front().owner, nullptr);
}

TEST(BrowseDlg, StartFolderGivesTheInitialFolderWhenNoneIsSelected) {
    TBrowseDlg dialog;
    EXPECT_TRUE(dialog.initialFolder().isEmpty()); // bfoDesktopExpanded: the platform chooses
    dialog.setStartFolder(bfoMyComputer);
    EXPECT_EQ(dialog.initialFolder(), QDir::toNativeSeparators(QDir::rootPath()));
    dialog.setSelectedFolder(QStringLiteral("/data"));
    EXPECT_EQ(dialog.initialFolder(), QStringLiteral("/data"));
}

} // namespace
