#include "controls/DialogPlacement.h"
#include "controls/DialogText.h"
#include "core/PathRules.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    QString in;
    QString out;
};

struct DirCase {
    bool windowsRules;
    QString in;
    QString out;
};

class DialogInitialDir : public ::testing::TestWithParam<DirCase> {};

TEST_P(DialogInitialDir, DropsOneTrailingSeparatorExceptAfterADriveOrAtTheRoot) {
    const DirCase& c = GetParam();
    const core::PathRules rules =
        c.windowsRules ? core::PathRules::windows() : core::PathRules::posix();
    EXPECT_EQ(controls::dialogInitialDir(c.in, rules), c.out);
}

INSTANTIATE_TEST_SUITE_P(
    BrowseDialogs, DialogInitialDir,
    ::testing::Values(DirCase{true, "C:\\Movies\\", "C:\\Movies"}, DirCase{true, "C:\\", "C:\\"},
                      DirCase{true, "\\", "\\"}, DirCase{true, "C:\\Movies", "C:\\Movies"},
                      DirCase{true, "\\\\server\\share\\", "\\\\server\\share"},
                      DirCase{true, "", ""}, DirCase{false, "/home/u/", "/home/u"},
                      DirCase{false, "/", "/"},
                      // A colon is an ordinary character on POSIX.
                      DirCase{false, "a:/", "a:"}, DirCase{false, "C:\\Movies\\", "C:\\Movies\\"}));

class ShortenPath : public ::testing::TestWithParam<TextCase> {};

TEST_P(ShortenPath, KeepsTheRootAndWholeTrailingFolders) {
    const QString out = controls::shortenPath(GetParam().in, 40);
    EXPECT_EQ(out, GetParam().out);
    EXPECT_LE(out.size(), 40);
}

INSTANTIATE_TEST_SUITE_P(
    BrowseDialogs, ShortenPath,
    ::testing::Values(TextCase{"C:\\Movies", "C:\\Movies"},
                      TextCase{"C:\\Program Files\\Kirimo Frames\\2024\\Summer\\Output",
                               "C:\\...\\Kirimo Frames\\2024\\Summer\\Output"},
                      TextCase{"/home/someone/Videos/kirimo/frames/2024/summer/output",
                               "/.../kirimo/frames/2024/summer/output"},
                      TextCase{"C:\\" + QString(50, u'a'), "..." + QString(37, u'a')}));

// ---- Placement ---------------------------------------------------------------------------

struct PlaceCase {
    TDlgPosition position;
    QRect target;
    QSize dialog;
    QPoint topLeft;
};

class BrowseDialogPlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(BrowseDialogPlacement, WithinTheTargetAndOnTheScreen) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(controls::browseDialogTopLeft(c.position, c.target, c.dialog, QSize(1024, 768)),
              c.topLeft);
}

const QRect kTarget(100, 50, 400, 300);
const QSize kDialog(200, 100);

INSTANTIATE_TEST_SUITE_P(
    BrowseDialogs, BrowseDialogPlacement,
    ::testing::Values(PlaceCase{bpCustom, kTarget, kDialog, {100, 50}},
                      PlaceCase{bpTopLeft, kTarget, kDialog, {100, 50}},
                      PlaceCase{bpTopCenter, kTarget, kDialog, {200, 50}},
                      PlaceCase{bpTopRight, kTarget, kDialog, {300, 50}},
                      PlaceCase{bpCenterLeft, kTarget, kDialog, {100, 150}},
                      PlaceCase{bpCenter, kTarget, kDialog, {200, 150}},
                      PlaceCase{bpCenterRight, kTarget, kDialog, {300, 150}},
                      PlaceCase{bpBottomLeft, kTarget, kDialog, {100, 250}},
                      PlaceCase{bpBottomCenter, kTarget, kDialog, {200, 250}},
                      PlaceCase{bpBottomRight, kTarget, kDialog, {300, 250}},
                      // Halves truncate toward zero.
                      PlaceCase{bpCenter, QRect(100, 100, 101, 51), kDialog, {51, 76}},
                      // Past the screen's right and bottom: aligned to the target's far edges.
                      PlaceCase{bpTopLeft, QRect(900, 700, 200, 100), QSize(300, 200), {800, 600}},
                      // Never above or left of the screen.
                      PlaceCase{bpCenter, QRect(-50, -40, 100, 80), kDialog, {0, 0}}));

TEST(BrowseDialogs, FileDialogCentredHorizontallyAtAThirdOfTheFreeHeight) {
    EXPECT_EQ(controls::fileDialogTopLeft(QRect(0, 0, 1024, 768), QSize(400, 300)),
              QPoint(312, 156));
    EXPECT_EQ(controls::fileDialogTopLeft(QRect(1024, 0, 1280, 1024), QSize(500, 400)),
              QPoint(1414, 208));
}

} // namespace
