#include "platform/TFont.h"

#include "platform/MulDiv.h"

#include <QFont>
#include <QFontMetrics>
#include <QStringList>
#include <mutex>

TFont::TFont(const TFont& other)
    : m_name(other.m_name), m_height(other.m_height), m_color(other.m_color),
      m_style(other.m_style), m_charset(other.m_charset), m_orientation(other.m_orientation) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other)
        assign(other);
    return *this;
}

void TFont::assign(const TFont& source) {
    m_name = source.m_name;
    m_height = source.m_height;
    m_color = source.m_color;
    m_style = source.m_style;
    m_charset = source.m_charset;
    m_orientation = source.m_orientation;
    changed();
}

void TFont::setName(const QString& name) {
    if (name == m_name || name.isEmpty())
        return;
    m_name = name;
    changed();
}

void TFont::setHeight(int height) {
    if (height == m_height)
        return;
    m_height = height;
    changed();
}

int TFont::size() const {
    return -platform::mulDiv(m_height, 72, kPixelsPerInch);
}

void TFont::setSize(int points) {
    setHeight(-platform::mulDiv(points, kPixelsPerInch, 72));
}

void TFont::setColor(TColor color) {
    if (color == m_color)
        return;
    m_color = color;
    changed();
}

void TFont::setStyle(TFontStyles style) {
    if (style == m_style)
        return;
    m_style = style;
    changed();
}

void TFont::setCharset(int charset) {
    if (charset == m_charset)
        return;
    m_charset = charset;
    changed();
}

void TFont::setOrientation(int tenthsOfDegree) {
    if (tenthsOfDegree == m_orientation)
        return;
    m_orientation = tenthsOfDegree;
    changed();
}

bool TFont::operator==(const TFont& other) const {
    return m_name == other.m_name && m_height == other.m_height && m_color == other.m_color &&
           m_style == other.m_style && m_charset == other.m_charset &&
           m_orientation == other.m_orientation;
}

void TFont::changed() {
    if (onChange)
        onChange();
}

void TFont::ensureSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QString proportional = QStringLiteral("IPAPGothic");
        const QString fixed = QStringLiteral("IPAGothic");
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), proportional);
        QFont::insertSubstitution(QStringLiteral("MS PGothic"), proportional);
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), fixed);
        QFont::insertSubstitution(QStringLiteral("MS Gothic"), fixed);
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), proportional);
        QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), fixed);
    });
}

namespace {

QFont baseFont(const QString& family, int pixelSize) {
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

// The Japanese families the look was designed for have an em-high cell, 220/256 of it above
// the baseline. Their stand-ins reach further down, which would push each line a pixel lower
// and hide a glyph drawn low in its cell (the full-width low line) under whatever follows.
bool hasDesignedCell(const QString& family) {
    static const QStringList families = {
        QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
        QStringLiteral("ＭＳ ゴシック"),   QStringLiteral("MS Gothic"),
        QStringLiteral("ＭＳ Ｐ明朝"),     QStringLiteral("ＭＳ 明朝")};
    return families.contains(family);
}

TFontCell designedCell(int em) {
    constexpr int kAscentPer256 = 220;
    const int ascent = (em * kAscentPer256 + 128) / 256;
    return {ascent, em - ascent};
}

// A positive height asks for a cell height; find the em size whose ascent + descent gives it.
int emForCellHeight(const QString& family, int cellHeight) {
    if (hasDesignedCell(family))
        return std::max(1, cellHeight);
    int em = cellHeight;
    for (int i = 0; i < 4 && em > 1; ++i) {
        const QFontMetrics metrics(baseFont(family, em));
        const int cell = metrics.ascent() + metrics.descent();
        if (cell <= cellHeight)
            break;
        em = std::max(1, platform::mulDiv(em, cellHeight, cell));
        const QFontMetrics check(baseFont(family, em));
        if (check.ascent() + check.descent() > cellHeight)
            --em;
    }
    return std::max(1, em);
}

} // namespace

int TFont::pixelSize() const {
    constexpr int kDefaultEm = 12;
    if (m_height < 0)
        return -m_height;
    if (m_height == 0)
        return kDefaultEm;
    ensureSubstitutions();
    return emForCellHeight(m_name, m_height);
}

TFontCell TFont::cell() const {
    if (hasDesignedCell(m_name))
        return designedCell(pixelSize());
    const QFontMetrics metrics(toQFont());
    return {metrics.ascent(), metrics.descent()};
}

QFont TFont::toQFont() const {
    ensureSubstitutions();
    QFont font = baseFont(m_name, pixelSize());
    font.setBold(m_style.testFlag(fsBold));
    font.setItalic(m_style.testFlag(fsItalic));
    font.setUnderline(m_style.testFlag(fsUnderline));
    font.setStrikeOut(m_style.testFlag(fsStrikeOut));
    return font;
}
