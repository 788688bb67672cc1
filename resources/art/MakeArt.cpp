// Draws the program's artwork: the five mascot pictures, the application icon at the desktop's
// sizes (16 to 256), the logo and the two browse-button glyphs. The PNG files in resources/images
// are this tool's output:
//   kirimo-make-art resources/images
// Kiri, the mascot, is a small orange cat who cuts frames out of a film strip with scissors.

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

const QColor fur(0xFF, 0xA8, 0x4C);
const QColor furDark(0xD9, 0x7A, 0x22);
const QColor furLight(0xFF, 0xD9, 0xA6);
const QColor earInner(0xFF, 0x9E, 0xB5);
const QColor ink(0x2A, 0x1B, 0x14);
const QColor film(0x3A, 0x3F, 0x4A);
const QColor filmEdge(0x1E, 0x22, 0x29);

enum class Pose { Cut0, Cut1, Cut2, Idle, Done };

void drawBackground(QPainter& p, Pose pose) {
    QLinearGradient sky(0, 0, 0, 136);
    if (pose == Pose::Done) {
        sky.setColorAt(0, QColor(0x1B, 0x3A, 0x6B));
        sky.setColorAt(1, QColor(0x0B, 0x14, 0x2B));
    } else {
        sky.setColorAt(0, QColor(0x14, 0x1C, 0x3A));
        sky.setColorAt(1, QColor(0x05, 0x07, 0x12));
    }
    p.fillRect(QRect(0, 0, 120, 136), sky);
    // A few fixed stars, so the phases differ only where the cat moves.
    p.setPen(Qt::NoPen);
    const QPoint stars[] = {{12, 14}, {104, 10}, {96, 34}, {18, 44}, {110, 62}, {8, 78}};
    for (const QPoint& s : stars) {
        p.setBrush(QColor(255, 255, 220, 200));
        p.drawEllipse(QPointF(s), 1.0, 1.0);
    }
}

void drawFilmStrip(QPainter& p, int offset, bool withCut) {
    const QRectF strip(-10, 104, 140, 22);
    p.setPen(QPen(filmEdge, 1));
    p.setBrush(film);
    p.drawRect(strip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xEE, 0xEE, 0xE6));
    for (int x = -12 + offset % 12; x < 130; x += 12) {
        p.drawRoundedRect(QRectF(x, 106, 6, 3.5), 1, 1);
        p.drawRoundedRect(QRectF(x, 120.5, 6, 3.5), 1, 1);
    }
    // Little frames with a sunrise in each.
    for (int x = -30 + offset % 30; x < 130; x += 30) {
        QRectF frame(x + 2, 110.5, 24, 9);
        QLinearGradient g(frame.topLeft(), frame.bottomLeft());
        g.setColorAt(0, QColor(0x7F, 0xC8, 0xF8));
        g.setColorAt(1, QColor(0xFF, 0xE0, 0x8A));
        p.setBrush(g);
        p.drawRect(frame);
        p.setBrush(QColor(0xFF, 0x8A, 0x3D));
        p.drawEllipse(QPointF(frame.center().x(), frame.bottom()), 3.5, 3.5);
    }
    if (withCut) {
        p.setPen(QPen(QColor(255, 255, 255, 180), 1, Qt::DashLine));
        p.drawLine(QPointF(88, 102), QPointF(88, 128));
    }
}

void drawScissors(QPainter& p, QPointF pivot, qreal openDegrees, qreal tiltDegrees) {
    p.save();
    p.translate(pivot);
    p.rotate(tiltDegrees);
    for (int side : {-1, 1}) {
        p.save();
        p.rotate(side * openDegrees / 2);
        QPainterPath blade;
        blade.moveTo(0, -1.6);
        blade.lineTo(24, -0.4);
        blade.lineTo(24, 0.4);
        blade.lineTo(0, 1.6);
        blade.closeSubpath();
        QLinearGradient steel(0, -2, 0, 2);
        steel.setColorAt(0, QColor(0xF4, 0xF7, 0xFA));
        steel.setColorAt(1, QColor(0x9A, 0xA4, 0xAE));
        p.setPen(QPen(QColor(0x55, 0x5D, 0x66), 0.6));
        p.setBrush(steel);
        p.drawPath(blade);
        p.setPen(QPen(side < 0 ? QColor(0xE8, 0x3A, 0x5A) : QColor(0x3A, 0x8C, 0xE8), 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(-7, side * 3.0), 3.8, 3.0);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x55, 0x5D, 0x66));
    p.drawEllipse(QPointF(0, 0), 1.4, 1.4);
    p.restore();
}

void drawEye(QPainter& p, QPointF c, bool happy, bool closed) {
    if (happy || closed) {
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath arc;
        if (happy) {
            arc.moveTo(c + QPointF(-4, 1.5));
            arc.quadTo(c + QPointF(0, -4.5), c + QPointF(4, 1.5));
        } else {
            arc.moveTo(c + QPointF(-4, 0));
            arc.quadTo(c + QPointF(0, 3), c + QPointF(4, 0));
        }
        p.drawPath(arc);
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(c, 4.2, 5.4);
    p.setBrush(Qt::white);
    p.drawEllipse(c + QPointF(1.4, -2.0), 1.6, 1.8);
    p.drawEllipse(c + QPointF(-1.6, 2.2), 0.8, 0.8);
}

void drawCat(QPainter& p, Pose pose, int bob) {
    const bool happy = pose == Pose::Done;
    const QPointF head(52, 52 + bob);

    // Tail
    p.setPen(QPen(furDark, 7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath tail;
    tail.moveTo(36, 96 + bob);
    tail.cubicTo(14, 96, 10, 74, 20, happy ? 62 : 70);
    p.drawPath(tail);

    // Body
    QRadialGradient bodyShade(QPointF(50, 84 + bob), 26);
    bodyShade.setColorAt(0, furLight);
    bodyShade.setColorAt(1, fur);
    p.setPen(QPen(furDark, 1.2));
    p.setBrush(bodyShade);
    p.drawEllipse(QPointF(52, 88 + bob), 20, 16);

    // Feet
    p.setBrush(furLight);
    p.drawEllipse(QPointF(42, 102 + bob), 6, 4);
    p.drawEllipse(QPointF(62, 102 + bob), 6, 4);

    // Ears
    for (int side : {-1, 1}) {
        QPainterPath ear;
        ear.moveTo(head + QPointF(side * 10, -20));
        ear.lineTo(head + QPointF(side * 24, -36));
        ear.lineTo(head + QPointF(side * 26, -10));
        ear.closeSubpath();
        p.setPen(QPen(furDark, 1.2));
        p.setBrush(fur);
        p.drawPath(ear);
        QPainterPath inner;
        inner.moveTo(head + QPointF(side * 13, -19));
        inner.lineTo(head + QPointF(side * 22, -30));
        inner.lineTo(head + QPointF(side * 23, -14));
        inner.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(earInner);
        p.drawPath(inner);
    }

    // Head
    QRadialGradient headShade(head + QPointF(-6, -8), 34);
    headShade.setColorAt(0, furLight);
    headShade.setColorAt(0.6, fur);
    headShade.setColorAt(1, furDark);
    p.setPen(QPen(furDark, 1.2));
    p.setBrush(headShade);
    p.drawEllipse(head, 28, 24);

    // Stripes on the forehead
    p.setPen(QPen(furDark, 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int dx : {-6, 0, 6})
        p.drawLine(head + QPointF(dx, -23), head + QPointF(dx * 0.8, -16));

    // Face
    const bool blink = pose == Pose::Cut1;
    drawEye(p, head + QPointF(-10, 0), happy, blink);
    drawEye(p, head + QPointF(10, 0), happy, blink);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0x7F, 0x9A, 150));
    p.drawEllipse(head + QPointF(-17, 8), 4.5, 2.6);
    p.drawEllipse(head + QPointF(17, 8), 4.5, 2.6);
    p.setBrush(QColor(0xE8, 0x5A, 0x78));
    p.drawEllipse(head + QPointF(0, 6), 2.2, 1.6);
    p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath mouth;
    mouth.moveTo(head + QPointF(-4, 9));
    mouth.quadTo(head + QPointF(-2, 12), head + QPointF(0, 9));
    mouth.quadTo(head + QPointF(2, 12), head + QPointF(4, 9));
    if (happy) {
        mouth.moveTo(head + QPointF(-3, 11));
        mouth.quadTo(head + QPointF(0, 17), head + QPointF(3, 11));
    }
    p.drawPath(mouth);
    p.setPen(QPen(QColor(0x6A, 0x4A, 0x3A), 0.8));
    for (int side : {-1, 1}) {
        p.drawLine(head + QPointF(side * 16, 5), head + QPointF(side * 30, 2));
        p.drawLine(head + QPointF(side * 16, 8), head + QPointF(side * 30, 9));
    }
}

void drawPaw(QPainter& p, QPointF at) {
    p.setPen(QPen(furDark, 1.2));
    p.setBrush(furLight);
    p.drawEllipse(at, 5.5, 5);
}

void drawSparkle(QPainter& p, QPointF c, qreal r, QColor colour) {
    QPainterPath star;
    star.moveTo(c + QPointF(0, -r));
    star.quadTo(c, c + QPointF(r, 0));
    star.quadTo(c, c + QPointF(0, r));
    star.quadTo(c, c + QPointF(-r, 0));
    star.quadTo(c, c + QPointF(0, -r));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(star);
}

QImage mascot(Pose pose) {
    QImage image(120, 136, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBackground(p, pose);

    switch (pose) {
    case Pose::Cut0:
    case Pose::Cut1:
    case Pose::Cut2: {
        const int phase = static_cast<int>(pose);
        drawFilmStrip(p, phase * 5, true);
        drawCat(p, pose, phase == 1 ? 1 : 0);
        const qreal open[] = {38, 20, 4};
        drawScissors(p, QPointF(80, 92), open[phase], 72);
        drawPaw(p, QPointF(72, 84));
        break;
    }
    case Pose::Idle:
        drawFilmStrip(p, 0, false);
        drawCat(p, pose, 0);
        drawScissors(p, QPointF(86, 100), 10, 150);
        drawPaw(p, QPointF(70, 92));
        break;
    case Pose::Done:
        drawFilmStrip(p, 0, false);
        drawCat(p, pose, -2);
        drawPaw(p, QPointF(26, 58));
        drawPaw(p, QPointF(80, 56));
        drawSparkle(p, QPointF(18, 26), 7, QColor(0xFF, 0xE8, 0x6A));
        drawSparkle(p, QPointF(98, 22), 9, QColor(0xFF, 0xF4, 0xB0));
        drawSparkle(p, QPointF(104, 84), 6, QColor(0xA8, 0xE6, 0xFF));
        break;
    }
    return image;
}

QImage icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(QPen(filmEdge, 1.5));
    p.setBrush(film);
    p.drawRoundedRect(QRectF(4, 10, 56, 44), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xEE, 0xEE, 0xE6));
    for (int x = 9; x < 56; x += 10) {
        p.drawRoundedRect(QRectF(x, 13, 5, 4), 1, 1);
        p.drawRoundedRect(QRectF(x, 47, 5, 4), 1, 1);
    }
    QLinearGradient g(0, 20, 0, 44);
    g.setColorAt(0, QColor(0x7F, 0xC8, 0xF8));
    g.setColorAt(1, QColor(0xFF, 0xE0, 0x8A));
    p.setBrush(g);
    p.drawRect(QRectF(10, 20, 44, 24));
    p.setBrush(fur);
    p.drawEllipse(QPointF(32, 38), 13, 11);
    for (int side : {-1, 1}) {
        QPainterPath ear;
        ear.moveTo(32 + side * 5, 29);
        ear.lineTo(32 + side * 12, 21);
        ear.lineTo(32 + side * 13, 33);
        ear.closeSubpath();
        p.drawPath(ear);
    }
    p.setBrush(ink);
    p.drawEllipse(QPointF(27, 37), 1.8, 2.3);
    p.drawEllipse(QPointF(37, 37), 1.8, 2.3);
    drawScissors(p, QPointF(48, 50), 30, -40);
    return image;
}

// White like the information panel it sits on: the credit line below overlaps its last rows.
QImage logo() {
    QImage image(200, 54, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(QRectF(4, 2, 44, 44), icon(88));
    QFont font("DejaVu Sans");
    font.setPixelSize(22);
    font.setBold(true);
    p.setFont(font);
    QLinearGradient text(0, 8, 0, 30);
    text.setColorAt(0, QColor(0xF0, 0x8A, 0x24));
    text.setColorAt(1, QColor(0xC0, 0x50, 0x10));
    p.setPen(QPen(QBrush(text), 1));
    p.drawText(QRectF(54, 2, 146, 28), Qt::AlignLeft | Qt::AlignVCenter, "Kirimo AVI");
    font.setPixelSize(10);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(0x50, 0x5A, 0x6E));
    p.drawText(QRectF(56, 28, 144, 14), Qt::AlignLeft | Qt::AlignVCenter, "frames, cut clean");
    return image;
}

// The browse glyphs keep the classic transparent key colour (magenta) around the picture.
QImage folderGlyph(int w, int h, bool withArrow) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter p(&image);
    const QColor edge(0x80, 0x60, 0x00), face(0xFF, 0xE0, 0x40), shade(0xE0, 0xB0, 0x20);
    const int top = h - 10;
    p.setPen(edge);
    p.setBrush(shade);
    p.drawRect(0, top, 7, 2);
    p.setBrush(face);
    if (withArrow) {
        QPolygon open;
        open << QPoint(0, top + 2) << QPoint(w - 4, top + 2) << QPoint(w - 4, top + 4)
             << QPoint(w - 1, top + 4) << QPoint(w - 4, h - 1) << QPoint(0, h - 1);
        p.drawPolygon(open);
        p.setPen(QColor(0x00, 0x00, 0x00));
        p.drawLine(w - 5, 1, w - 2, 1);
        p.drawLine(w - 2, 1, w - 2, 4);
        p.drawLine(w - 2, 1, w - 6, 5);
    } else {
        p.drawRect(0, top + 2, w - 2, 7);
        p.setPen(QColor(0xFF, 0xF8, 0xC0));
        p.drawLine(1, top + 3, w - 3, top + 3);
    }
    return image;
}

bool save(const QImage& image, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "kirimo-make-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kirimo-make-art OUTPUT_FOLDER\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(".");
    bool ok = true;
    const Pose poses[] = {Pose::Cut0, Pose::Cut1, Pose::Cut2, Pose::Idle, Pose::Done};
    for (int i = 0; i < 5; ++i)
        ok &= save(mascot(poses[i]), dir, QString("mascot%1.png").arg(i));
    // 32 and 64 are also the window's icons; every size goes to the desktop's icon theme.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok &= save(icon(size), dir, QString("icon%1.png").arg(size));
    ok &= save(logo(), dir, "logo.png");
    ok &= save(folderGlyph(14, 13, true), dir, "glyph-open-folder.png");
    ok &= save(folderGlyph(13, 14, false), dir, "glyph-folder.png");
    return ok ? 0 : 1;
}
