#include "platform/Colors.h"

#include <QString>
#include <array>
#include <utility>

namespace platform {
namespace {

constexpr std::size_t kSysColorCount = 31;

constexpr std::array<std::uint32_t, kSysColorCount> kClassicScheme = {
    0xC0C0C0, // scroll bar
    0x808000, // desktop
    0x800000, // active caption
    0x808080, // inactive caption
    0xC0C0C0, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // application workspace
    0x800000, // highlight
    0xFFFFFF, // highlight text
    0xC0C0C0, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x000000, // 3-D dark shadow
    0xC0C0C0, // 3-D light
    0x000000, // info text
    0xE1FFFF, // info background
    0x000000, // (unused)
    0xFF0000, // hot light
    0xD08410, // gradient active caption
    0xB5B5B5, // gradient inactive caption
    0x800000, // menu highlight
    0xC0C0C0, // menu bar
};

std::array<std::uint32_t, kSysColorCount>& scheme() {
    static std::array<std::uint32_t, kSysColorCount> table = kClassicScheme;
    return table;
}

struct NamedColor {
    const char* name;
    TColor value;
};

constexpr NamedColor kNames[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar},
    // Aliases are looked up by name only; the first entry of a value names it.
    {"clLtGray", clLtGray},
    {"clDkGray", clDkGray},
};

std::optional<TColor> parseNumber(QStringView text) {
    bool ok = false;
    if (text.startsWith(u'$')) {
        const qulonglong v = text.mid(1).toULongLong(&ok, 16);
        if (ok && v <= 0xFFFFFFFFull)
            return TColor(std::uint32_t(v));
        return std::nullopt;
    }
    if (text.startsWith(u"0x") || text.startsWith(u"0X")) {
        const qulonglong v = text.mid(2).toULongLong(&ok, 16);
        if (ok && v <= 0xFFFFFFFFull)
            return TColor(std::uint32_t(v));
        return std::nullopt;
    }
    const qlonglong v = text.toLongLong(&ok, 10);
    if (ok && v >= -2147483648LL && v <= 0xFFFFFFFFLL)
        return TColor(std::uint32_t(v));
    return std::nullopt;
}

} // namespace

std::uint32_t sysColor(int index) {
    if (index < 0 || std::size_t(index) >= kSysColorCount)
        return 0;
    return scheme()[std::size_t(index)];
}

void setSysColor(int index, std::uint32_t bgr) {
    if (index < 0 || std::size_t(index) >= kSysColorCount)
        return;
    scheme()[std::size_t(index)] = bgr & 0xFFFFFF;
}

void resetSysColors() {
    scheme() = kClassicScheme;
}

bool isSystemColor(TColor color) {
    return (std::uint32_t(color) & 0xFF000000u) == 0x80000000u;
}

std::uint32_t colorToRgb(TColor color) {
    if (color < 0)
        return sysColor(int(std::uint32_t(color) & 0xFF));
    return std::uint32_t(color) & 0xFFFFFF;
}

QRgb toQRgb(TColor color) {
    const std::uint32_t c = colorToRgb(color);
    return qRgb(getRValue(c), getGValue(c), getBValue(c));
}

QColor toQColor(TColor color) {
    return QColor::fromRgb(toQRgb(color));
}

TColor fromQColor(const QColor& color) {
    return rgb(color.red(), color.green(), color.blue());
}

TColor fromQRgb(QRgb value) {
    return rgb(qRed(value), qGreen(value), qBlue(value));
}

std::optional<TColor> colorFromName(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const NamedColor& named : kNames) {
        if (trimmed.compare(QLatin1StringView(named.name), Qt::CaseInsensitive) == 0)
            return named.value;
    }
    return parseNumber(trimmed);
}

QString colorToString(TColor color) {
    for (const NamedColor& named : kNames) {
        if (named.value == color)
            return QString::fromLatin1(named.name);
    }
    return QStringLiteral("$%1").arg(std::uint32_t(color), 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace platform
