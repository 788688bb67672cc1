#include "controls/BrowseDlg.h"
#include "controls/BrowseEdit.h"
#include "controls/BrowseEditRegistration.h"
#include "controls/FileOpenEdit.h"
#include "framework/Form.h"
#include "framework/FormLoader.h"

#include <gtest/gtest.h>

namespace {

class TBrowseTestForm : public TForm {
    Q_OBJECT

public:
    QStringList changes;

public slots:
    void Edit2Change() { changes << QStringLiteral("Edit2"); }
    void BrowseEdit1Change() { changes << QStringLiteral("BrowseEdit1"); }
};

const char* const kForm = R"(
object BrowseTestForm: TBrowseTestForm
  object BrowseEdit1: TBrowseEdit
    Left = 351
    Top = 176
    Width = 126
    Height = 19
    Cursor = crIBeam
    Bevel.Mode = bmWindows
    Caret.BlinkRate = 200
    Caret.ImageIndex = 0
    Caret.ListIndex = 0
    Color = clSilver
    Font.Height = -11
    Font.Color = clWhite
    ParentShowHint = False
    ShowHint = True
    Hint = ' 保存先パス'
    TabOrder = 4
    OnChange = BrowseEdit1Change
    Path = 'C:/My Documents'
  end
  object Edit2: TFileOpenEdit
    Left = 45
    Top = 176
    Width = 126
    Height = 19
    Bevel.Mode = bmFlat
    Caret.BlinkRate = 300
    Caret.ListIndex = 2
    OnChange = Edit2Change
    Filter = 'AVIファイル (*.avi)|*.avi'
    DefaultExt = 'avi'
    ReadOnly = True
    MaxLength = 260
    Options = [ofHideReadOnly, ofFileMustExist]
  end
  object BrowseDlg1: TBrowseDlg
    StartFolder = bfoPersonal
    Options = [doShowPath, doEnableOK]
    Position = bpBottomRight
    RelatePos = brMainForm
  end
end
)";

TEST(BrowseForm, PropertiesApplyAndLoadingCallsNoOnChange) {
    registerBrowseEditClasses();
    TBrowseTestForm form;
    FormLoader::load(&form, QString::fromUtf8(kForm), QStringLiteral("test"));

    auto& browse = form.Component<TBrowseEdit>(QStringLiteral("BrowseEdit1"));
    EXPECT_EQ(browse.Path(), QStringLiteral("C:/My Documents"));
    EXPECT_EQ(browse.BoundsRect(), QRect(351, 176, 126, 19));
    EXPECT_EQ(browse.Bevel().Mode(), bmWindows);
    EXPECT_EQ(browse.Caret().BlinkRate(), 200);
    EXPECT_EQ(browse.Hint(), QStringLiteral(" 保存先パス"));
    EXPECT_EQ(browse.Options(), TBrowseDlg::kDefaultOptions);
    EXPECT_EQ(browse.StartFolder(), bfoDesktopExpanded);
    EXPECT_FALSE(browse.StartWithLast());
    EXPECT_FALSE(browse.ReadOnly());

    auto& source = form.Component<TFileOpenEdit>(QStringLiteral("Edit2"));
    EXPECT_EQ(source.Bevel().Mode(), bmFlat);
    EXPECT_EQ(source.Caret().BlinkRate(), 300);
    EXPECT_EQ(source.Caret().ListIndex(), 2);
    EXPECT_EQ(source.Filter(), QStringLiteral("AVIファイル (*.avi)|*.avi"));
    EXPECT_EQ(source.DefaultExt(), QStringLiteral("avi"));
    EXPECT_TRUE(source.ReadOnly());
    EXPECT_EQ(source.MaxLength(), 260);
    EXPECT_EQ(source.Options(), ofHideReadOnly | ofFileMustExist);

    auto& dialog = form.Component<TBrowseDlg>(QStringLiteral("BrowseDlg1"));
    EXPECT_EQ(dialog.StartFolder(), bfoPersonal);
    EXPECT_EQ(dialog.Options(), doShowPath | doEnableOK);
    EXPECT_EQ(dialog.Position(), bpBottomRight);
    EXPECT_EQ(dialog.RelatePos(), brMainForm);

    EXPECT_TRUE(form.changes.isEmpty());
    browse.setPath(QStringLiteral("D:/Frames"));
    source.setFilename(QStringLiteral("/movies/clip.avi"));
    EXPECT_EQ(form.changes, (QStringList{"BrowseEdit1", "Edit2"}));
}

TEST(BrowseForm, DefaultsOfTheFileOpenEdit) {
    TFileOpenEdit edit;
    EXPECT_EQ(edit.Options(), TOpenOptions(ofHideReadOnly));
    EXPECT_EQ(edit.MaxLength(), 0);
    EXPECT_EQ(edit.Bevel().Mode(), bmWindows);
    EXPECT_EQ(edit.ButtonWidth(), 18);
    EXPECT_TRUE(edit.Text().isEmpty());
}

} // namespace

#include "BrowseFormTest.moc"
