#include "skin/ShadowLabel.h"

#include "core/Cp932.h"
#include "platform/Canvas.h"

#include <QImage>
#include <vector>

using namespace platform;

namespace {

// One character of a caption and the bytes it takes in the code page the layout counts in.
struct Character {
    QString text;
    int bytes;
};

std::vector<Character> charactersOf(const QString& text) {
    std::vector<Character> characters;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const char32_t code =
            units == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : char32_t(text[i].unicode());
        characters.push_back({text.mid(i, units), core::cp932ByteLength(code)});
        i += units;
    }
    return characters;
}

} // namespace

TShadowLabel::TShadowLabel(QWidget* parent)
    : TLabel(parent), highlight_(new TShadow(this)), shadow_(new TShadow(this)) {
    highlight_->setColor(clWhite);
    highlight_->setOffsetLeft(-1);
    highlight_->setOffsetTop(-1);
    highlight_->setOnChange([this] { ShadowChanged(); });
    shadow_->setOnChange([this] { ShadowChanged(); });
}

TShadowLabel::~TShadowLabel() {
    highlight_->setOnChange(nullptr);
    shadow_->setOnChange(nullptr);
}

void TShadowLabel::setEllipsis(TEllipsis ellipsis) {
    if (ellipsis == ellipsis_)
        return;
    ellipsis_ = ellipsis;
    Invalidate();
}

void TShadowLabel::setGradateVert(bool vertical) {
    if (vertical == gradateVert_)
        return;
    gradateVert_ = vertical;
    Invalidate();
}

void TShadowLabel::setGradation(bool on) {
    if (on == gradation_)
        return;
    gradation_ = on;
    Invalidate();
}

void TShadowLabel::setGradationColor(TColor color) {
    if (color == gradationColor_)
        return;
    gradationColor_ = color;
    Invalidate();
}

void TShadowLabel::setHighlight(const TShadow* value) {
    if (value == nullptr)
        return;
    highlight_->assign(*value);
    Invalidate();
}

void TShadowLabel::setShadow(const TShadow* value) {
    if (value == nullptr)
        return;
    shadow_->assign(*value);
    Invalidate();
}

void TShadowLabel::setTextGradation(TTextGradation gradation) {
    if (gradation == textGradation_)
        return;
    textGradation_ = gradation;
    Invalidate();
}

void TShadowLabel::setTextGradationColor(TColor color) {
    if (color == textGradationColor_)
        return;
    textGradationColor_ = color;
    if (textGradation_ != tgNone)
        Invalidate();
}

void TShadowLabel::setTextMidColor(TColor color) {
    if (color == textMidColor_)
        return;
    textMidColor_ = color;
    if (textGradation_ == tg3Colors)
        Invalidate();
}

void TShadowLabel::ShadowChanged() {
    Invalidate();
}

TColor TShadowLabel::gradientStep(TColor from, TColor to, int k, int n) {
    const std::uint32_t c1 = colorToRgb(from);
    if (n <= 1)
        return TColor(c1);
    const std::uint32_t c2 = colorToRgb(to);
    const double t = double(k) / double(n - 1);
    const auto channel = [&](int shift) {
        const int start = int((c1 >> shift) & 0xFF);
        const auto delta = std::int16_t(int((c2 >> shift) & 0xFF) - start);
        return static_cast<int>(static_cast<long double>(start) +
                                static_cast<long double>(delta) * static_cast<long double>(t));
    };
    return rgb(channel(0), channel(8), channel(16));
}

void TShadowLabel::gradBitmap(QImage& picture, TColor from, TColor to, bool vertical) {
    const int width = picture.width();
    const int height = picture.height();
    if (width < 1 || height < 1)
        return;
    if (vertical) {
        for (int y = 0; y < height; ++y)
            picture.setPixel(0, y, toQRgb(gradientStep(from, to, y, height)));
        if (width >= 2) {
            Canvas canvas(picture);
            canvas.stretchBlt(0, 0, width, height, picture, 0, 0, 1, height, SRCCOPY);
        }
        return;
    }
    for (int x = 0; x < width; ++x)
        picture.setPixel(x, 0, toQRgb(gradientStep(from, to, x, width)));
    const auto* firstRow = picture.constScanLine(0);
    for (int y = 1; y < height; ++y)
        std::copy_n(firstRow, picture.bytesPerLine(), picture.scanLine(y));
}

void TShadowLabel::gradRect(Canvas& canvas, const QRect& rect, TColor from, TColor to,
                            bool vertical) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    QImage picture = vertical ? QImage(1, rect.height(), QImage::Format_RGB32)
                              : QImage(rect.width(), rect.height() / 20 + 1, QImage::Format_RGB32);
    gradBitmap(picture, from, to, vertical);
    canvas.stretchBlt(rect.x(), rect.y(), rect.width(), rect.height(), picture, 0, 0,
                      picture.width(), picture.height(), SRCCOPY);
}

unsigned TShadowLabel::drawingFormat() const {
    unsigned format = textFormat();
    if (ellipsis_ == elEnd)
        format |= DT_END_ELLIPSIS;
    else if (ellipsis_ == elPath)
        format |= DT_PATH_ELLIPSIS;
    return format;
}

void TShadowLabel::Paint(Canvas& canvas) {
    QString text = Caption();
    // Still one line high when there is nothing to show.
    if (text.isEmpty() || (ShowAccelChar() && text == QLatin1String("&")))
        text += u' ';
    if (!(flickerless_ && !Transparent())) {
        paintOn(canvas, text, false);
        return;
    }
    QImage buffer(Width(), Height(), QImage::Format_RGB32);
    if (buffer.isNull())
        return;
    buffer.fill(Qt::black);
    {
        Canvas offScreen(buffer);
        paintOn(offScreen, text, true);
    }
    canvas.bitBlt(0, 0, Width(), Height(), buffer, 0, 0, SRCCOPY);
}

void TShadowLabel::paintOn(Canvas& canvas, const QString& text, bool offScreen) {
    const unsigned format = drawingFormat();
    if (!Transparent())
        paintBackground(canvas, offScreen);
    canvas.font().assign(Font());
    canvas.brush().setStyle(bsClear);

    const int textHeight = canvas.drawText(text, ClientRect(), format | DT_CALCRECT).rect.height();
    QRect textRect = ClientRect();
    if (Layout() == tlCenter)
        textRect.translate(0, (Height() - textHeight) / 2);
    else if (Layout() == tlBottom)
        textRect.translate(0, Height() - textHeight);

    const bool enabled = Enabled();
    const TColor shadowColor = enabled ? shadow_->Color() : clGray;
    const TColor highlightColor = enabled ? highlight_->Color() : clBtnHighlight;
    const TColor textColor = enabled ? Font().color() : clBtnShadow;
    if (shadow_->Visible()) {
        canvas.font().setColor(shadowColor);
        canvas.drawText(text, textRect.translated(shadow_->OffsetLeft(), shadow_->OffsetTop()),
                        format);
    }
    if (highlight_->Visible()) {
        canvas.font().setColor(highlightColor);
        canvas.drawText(
            text, textRect.translated(highlight_->OffsetLeft(), highlight_->OffsetTop()), format);
    }
    if (textGradation_ != tgNone && charactersOf(text).size() >= 2) {
        paintGradientText(canvas, text, textRect, format);
        return;
    }
    canvas.font().setColor(textColor);
    canvas.drawText(text, textRect, format);
}

void TShadowLabel::paintBackground(Canvas& canvas, bool offScreen) {
    if (!gradation_) {
        canvas.brush().setStyle(bsSolid);
        canvas.brush().setColor(Color());
        canvas.fillRect(ClientRect());
    } else if (offScreen) {
        gradBitmap(canvas.image(), gradationColor_, Color(), gradateVert_);
    } else {
        gradRect(canvas, ClientRect(), gradationColor_, Color(), gradateVert_);
    }
}

void TShadowLabel::paintGradientText(Canvas& canvas, const QString& text, const QRect& textRect,
                                     unsigned format) {
    const std::vector<Character> characters = charactersOf(text);
    int pen = textRect.left();
    const auto drawRun = [&](std::size_t begin, std::size_t end, TColor from, TColor to) {
        const int count = int(end - begin);
        if (count == 1) {
            const QString run = characters[begin].text;
            canvas.font().setColor(from);
            canvas.drawText(
                run, gdiRect(pen, textRect.top(), gdiRight(textRect), gdiBottom(textRect)), format);
            pen += canvas.textWidth(run);
            return;
        }
        const int overhang = canvas.textMetrics().tmOverhang;
        for (int k = 0; k < count; ++k) {
            const QString& character = characters[begin + std::size_t(k)].text;
            canvas.font().setColor(gradientStep(from, to, k, count));
            const int advance = canvas.textWidth(character) - overhang;
            canvas.drawText(character,
                            gdiRect(pen, textRect.top(), pen + advance, gdiBottom(textRect)),
                            format);
            pen += advance;
        }
    };

    const TColor first = Font().color();
    if (textGradation_ == tg2Colors || characters.size() == 2) {
        drawRun(0, characters.size(), first, textGradationColor_);
        return;
    }
    // Split at the middle byte, never inside a double-byte character: the first run takes every
    // character that starts at or before it.
    int totalBytes = 0;
    for (const Character& c : characters)
        totalBytes += c.bytes;
    const int middle = totalBytes / 2;
    std::size_t split = 0;
    for (int start = 1; split < characters.size() && start <= middle; ++split)
        start += characters[split].bytes;
    drawRun(0, split, first, textMidColor_);
    if (characters.size() - split == 1)
        drawRun(split, characters.size(), textGradationColor_, textGradationColor_);
    else
        drawRun(split, characters.size(), textMidColor_, textGradationColor_);
}
