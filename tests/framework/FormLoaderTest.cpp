#include "framework/FormLoader.h"

#include "FrameworkTestSupport.h"
#include "framework/Form.h"
#include "framework/FormLoadError.h"
#include "framework/Label.h"
#include "framework/Timer.h"
#include "platform/ServiceRecorder.h"

#include <QKeyEvent>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QStringList& journal() {
    static QStringList entries;
    return entries;
}

class ProbeSub : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Color MEMBER color)
    Q_PROPERTY(QString Text MEMBER text)

public:
    using QObject::QObject;
    int color = 0;
    QString text;
};

class TProbe : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(int Count READ Count WRITE setCount)
    Q_PROPERTY(ModeSet Modes READ Modes WRITE setModes)
    Q_PROPERTY(QStringList Lines MEMBER lines)
    Q_PROPERTY(double Ratio MEMBER ratio)
    Q_PROPERTY(QObject* Sub READ sub)

public:
    enum Mode { mdA = 1, mdB = 2, mdC = 4 };
    Q_DECLARE_FLAGS(ModeSet, Mode)
    Q_FLAG(ModeSet)

    explicit TProbe(QWidget* parent) : TGraphicControl(parent), sub_(this) {}

    int Count() const { return count_; }
    void setCount(int count) {
        count_ = count;
        journal() << QStringLiteral("%1.Count loading=%2").arg(objectName()).arg(isLoading());
    }
    ModeSet Modes() const { return modes; }
    void setModes(ModeSet set) { modes = set; }
    QObject* sub() { return &sub_; }
    ProbeSub& subObject() { return sub_; }

    void Loaded() override {
        TGraphicControl::Loaded();
        const auto* form = qobject_cast<TForm*>(window());
        journal() << QStringLiteral("%1.Loaded sees Probe2=%2")
                         .arg(objectName())
                         .arg(form->FindComponent<TProbe>(QStringLiteral("Probe2")) != nullptr);
    }

    bool bindEvent(const QString& name, TNotifyEvent handler) override {
        if (name == QLatin1String("OnChange")) {
            onChange = std::move(handler);
            return true;
        }
        return TGraphicControl::bindEvent(name, std::move(handler));
    }

    ModeSet modes;
    QStringList lines;
    double ratio = 0;
    TNotifyEvent onChange;

private:
    int count_ = 0;
    ProbeSub sub_;
};

class TSampleForm : public TForm {
    Q_OBJECT

public:
    TSampleForm() { FormLoader::registerClass<TProbe>(); }

    Q_INVOKABLE void FormShow() override { ++shows; }
    Q_INVOKABLE void Probe1Click() { ++clicks; }
    Q_INVOKABLE void Probe1Change() { ++changes; }
    Q_INVOKABLE void Timer1Timer() { ++ticks; }
    Q_INVOKABLE void FormClose() override {
        if (failClose)
            throw std::runtime_error("書き込めません");
    }

    void Loaded() override {
        journal() << QStringLiteral("%1.Loaded").arg(objectName());
        TForm::Loaded();
    }

    int shows = 0, clicks = 0, changes = 0, ticks = 0;
    bool failClose = false;
};

const char* const sampleForm = R"(// the sample window
object SampleForm: TSampleForm
  Left = 20
  Top = 30
  ClientWidth = 200
  ClientHeight = 100
  BorderStyle = bsNone
  Caption = 'Kirimo ''AVI'''
  Color = clBlack
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Height = -12
  Font.Style = [fsBold, fsItalic]
  Font.Charset = SHIFTJIS_CHARSET
  OnShow = FormShow
  object Panel1: TPanel
    Left = 10
    Top = 20
    Width = 120
    Height = 60
    BevelOuter = bvNone
    Color = $00FF8000
    object Probe1: TProbe
      Left = 2
      Count = 3
      Modes = [mdA, mdC]
      Lines = ('one' 'two')
      Ratio = 0.5
      Sub.Color = clBtnFace
      Sub.Text = '変換元：'
      Hint = ' 閉じる'
      ShowHint = True
      Cursor = crHandPoint
      OnClick = Probe1Click
      OnChange = Probe1Change
    end
  end
  object Probe2: TProbe
    Count = -4
  end
  object Label1: TLabel
    AutoSize = False
    Caption = 'a'#13'b' + 'c'
    Font.Color = clWhite
    Alignment = taCenter
    Enabled = False
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 200
    OnTimer = Timer1Timer
  end
end
)";

class FormLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { journal().clear(); }
    void load(const QString& text) { FormLoader::load(&form, text, QStringLiteral("sample.form")); }
    TSampleForm form;
};

TEST_F(FormLoaderTest, BuildsTheControlsWithTheirProperties) {
    load(QString::fromUtf8(sampleForm));

    EXPECT_EQ(form.objectName(), QStringLiteral("SampleForm"));
    EXPECT_EQ(form.pos(), QPoint(20, 30));
    EXPECT_EQ(form.size(), QSize(200, 100));
    EXPECT_EQ(form.BorderStyle(), bsNone);
    EXPECT_EQ(form.Caption(), QStringLiteral("Kirimo 'AVI'"));
    EXPECT_EQ(form.Color(), clBlack);
    EXPECT_EQ(form.Font().name(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(form.Font().style(), TFontStyles(fsBold | fsItalic));
    EXPECT_EQ(form.Font().charset(), SHIFTJIS_CHARSET);

    auto& panel = form.Component<TPanel>(QStringLiteral("Panel1"));
    EXPECT_EQ(panel.parentWidget(), &form);
    EXPECT_EQ(panel.BoundsRect(), QRect(10, 20, 120, 60));
    EXPECT_EQ(panel.BevelOuter(), bvNone);
    EXPECT_EQ(panel.Color(), TColor(0x00FF8000));

    auto& probe = form.Component<TProbe>(QStringLiteral("Probe1"));
    EXPECT_EQ(probe.parentWidget(), &panel);
    EXPECT_EQ(probe.Left(), 2);
    EXPECT_EQ(probe.modes, TProbe::ModeSet(TProbe::mdA | TProbe::mdC));
    EXPECT_EQ(probe.lines, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_DOUBLE_EQ(probe.ratio, 0.5);
    EXPECT_EQ(probe.subObject().color, clBtnFace);
    EXPECT_EQ(probe.subObject().text, QStringLiteral("変換元："));
    EXPECT_EQ(probe.toolTip(), QStringLiteral(" 閉じる"));
    EXPECT_EQ(probe.Cursor(), crHandPoint);
    EXPECT_TRUE(probe.Font().style() & fsBold); // the form's font, inherited

    auto& label = form.Component<TLabel>(QStringLiteral("Label1"));
    EXPECT_EQ(label.Caption(), QStringLiteral("a\rbc"));
    EXPECT_EQ(label.Font().color(), clWhite);
    EXPECT_FALSE(label.ParentFont());
    EXPECT_EQ(label.Alignment(), taCenter);
    EXPECT_FALSE(label.Enabled());

    auto& timer = form.Component<TTimer>(QStringLiteral("Timer1"));
    EXPECT_EQ(timer.parent(), &form);
    EXPECT_EQ(timer.Interval(), 200);
    EXPECT_FALSE(timer.isRunning());
}

TEST_F(FormLoaderTest, PropertiesApplyInsideTheLoadingBracketAndLoadedRunsAfterAll) {
    load(QString::fromUtf8(sampleForm));
    EXPECT_EQ(journal(), (QStringList{
                             QStringLiteral("Probe1.Count loading=1"),
                             QStringLiteral("Probe2.Count loading=1"),
                             QStringLiteral("SampleForm.Loaded"),
                             QStringLiteral("Probe1.Loaded sees Probe2=1"),
                             QStringLiteral("Probe2.Loaded sees Probe2=1"),
                         }));
    EXPECT_FALSE(form.isLoading());
    EXPECT_FALSE(form.Component<TProbe>(QStringLiteral("Probe1")).isLoading());
}

TEST_F(FormLoaderTest, EventsCallTheFormsHandlers) {
    load(QString::fromUtf8(sampleForm));
    auto& probe = form.Component<TProbe>(QStringLiteral("Probe1"));
    probe.Click();
    probe.onChange();
    form.Component<TTimer>(QStringLiteral("Timer1")).OnTimer()();
    form.show();
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.changes, 1);
    EXPECT_EQ(form.ticks, 1);
    EXPECT_EQ(form.shows, 1); // bound and virtual: once
}

TEST_F(FormLoaderTest, BoundCloseHandlerErrorKeepsTheWindowOpen) {
    load(QStringLiteral("object F: TSampleForm\n  OnClose = FormClose\nend\n"));
    platform::ServiceRecorder recorder;
    form.failClose = true;
    form.show();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(recorder.messageTexts(), QStringList{QStringLiteral("書き込めません.")});
    form.failClose = false;
    EXPECT_TRUE(form.close());
}

TEST_F(FormLoaderTest, TabKeysFollowTheTabOrder) {
    load(QStringLiteral("object F: TSampleForm\n"
                        "  object A: TPanel\n    TabStop = True\n    TabOrder = 2\n  end\n"
                        "  object B: TPanel\n    TabStop = True\n    TabOrder = 0\n  end\n"
                        "  object N: TPanel\n    TabOrder = 3\n  end\n"
                        "  object C: TPanel\n    TabStop = True\n    TabOrder = 1\n  end\n"
                        "end\n"));
    auto* a = &form.Component<TPanel>(QStringLiteral("A"));
    auto* b = &form.Component<TPanel>(QStringLiteral("B"));
    auto* c = &form.Component<TPanel>(QStringLiteral("C"));
    form.show();
    b->setFocus();
    const auto press = [&](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key,
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QCoreApplication::sendEvent(form.focusWidget(), &event);
        return form.focusWidget();
    };
    EXPECT_EQ(press(Qt::Key_Tab), c);
    EXPECT_EQ(press(Qt::Key_Tab), a); // N takes no tab stop
    EXPECT_EQ(press(Qt::Key_Tab), b);
    EXPECT_EQ(press(Qt::Key_Backtab), a);
}

struct BadForm {
    const char* text;
    int line;
    const char* reason;
};

class BadFormTest : public FormLoaderTest, public ::testing::WithParamInterface<BadForm> {};

TEST_P(BadFormTest, FailsWithTheLineAndRemovesWhatItBuilt) {
    try {
        load(QString::fromUtf8(GetParam().text));
        FAIL() << "loaded";
    } catch (const FormLoadError& error) {
        EXPECT_EQ(error.line(), GetParam().line) << error.what();
        EXPECT_TRUE(error.reason().contains(QString::fromUtf8(GetParam().reason))) << error.what();
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith(QStringLiteral("sample.form:")));
    }
    EXPECT_EQ(form.findChild<TPanel*>(), nullptr);
    EXPECT_FALSE(form.isLoading());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, BadFormTest,
    ::testing::Values(
        BadForm{"object F: TSampleForm\n  Foo = 1\nend", 2, "has no property Foo"},
        BadForm{"object F: TSampleForm\n  object P: TPanel\n  end\n  object X: TNoSuch\n  end\nend",
                4, "unknown class TNoSuch"},
        BadForm{"object F: TSampleForm\n  BorderStyle = bsWide\nend", 2, "bsWide"},
        BadForm{"object F: TSampleForm\n  OnShow = NoSuchHandler\nend", 2,
                "no handler NoSuchHandler()"},
        BadForm{"object F: TSampleForm\n  object P: TPanel\n    OnTimer = Timer1Timer\n  end\nend",
                3, "has no event OnTimer"},
        BadForm{"object F: TSampleForm\n  Left = 1\n", 3, "missing 'end'"},
        BadForm{"object F: TSampleForm\n  Caption = 'abc\nend", 2, "unterminated string"},
        BadForm{"object F: TSampleForm\n  object P: TPanel\n  end\n  Left = 1\nend", 4,
                "after a nested object"},
        BadForm{"object F: TSampleForm\n  object P: TPanel\n  end\n  object P: TPanel\n  end\nend",
                4, "a second object named P"},
        BadForm{"object F: TForm2\nend", 1, "not a TForm2"},
        BadForm{"object F: TSampleForm\n  Left = 'x'\nend", 2, "expected an integer"},
        BadForm{"object F: TSampleForm\n  Color = clPink\nend", 2, "clPink"},
        BadForm{"object F: TSampleForm\n  object P: TPanel\n    Enabled = 1\n  end\nend", 3,
                "True or False"},
        BadForm{"object F: TSampleForm\n  Left = 99999999999\nend", 2, "out of range"},
        BadForm{"object F: TSampleForm\n  Caption = Kirimo\nend", 2, "quoted text"},
        BadForm{"object F: TSampleForm\nend\nend", 3, "after the final 'end'"},
        BadForm{"object F: TSampleForm\n  Left = 1 ?\nend", 2, "unexpected character"},
        BadForm{
            "object F: TSampleForm\n  object T: TTimer\n    object P: TPanel\n    end\n  end\nend",
            3, "needs a control as parent"}));

} // namespace

#include "FormLoaderTest.moc"
