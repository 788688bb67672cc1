#include "framework/SubObjectProperties.h"

#include "platform/TBrush.h"
#include "platform/TFont.h"
#include "platform/TPen.h"

#include <QStringList>
#include <array>
#include <utility>

namespace framework {
namespace {

[[noreturn]] void wrongValue(const char* expected, const QVariant& value) {
    throw std::invalid_argument(std::string("expected ") + expected + ", got " +
                                value.toString().toStdString());
}

template <std::size_t N>
int namedValue(const std::array<std::pair<const char*, int>, N>& table, const QVariant& value,
               const char* what) {
    const QString name = stringValue(value);
    for (const auto& [key, v] : table)
        if (name == QLatin1String(key))
            return v;
    wrongValue(what, value);
}

const std::array<std::pair<const char*, int>, 4> fontStyles{{
    {"fsBold", fsBold},
    {"fsItalic", fsItalic},
    {"fsUnderline", fsUnderline},
    {"fsStrikeOut", fsStrikeOut},
}};

const std::array<std::pair<const char*, int>, 13> charsets{{
    {"ANSI_CHARSET", 0},
    {"DEFAULT_CHARSET", 1},
    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128},
    {"HANGEUL_CHARSET", 129},
    {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},
    {"TURKISH_CHARSET", 162},
    {"RUSSIAN_CHARSET", 204},
    {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
}};

const std::array<std::pair<const char*, int>, 7> penStyles{{
    {"psSolid", psSolid},
    {"psDash", psDash},
    {"psDot", psDot},
    {"psDashDot", psDashDot},
    {"psDashDotDot", psDashDotDot},
    {"psClear", psClear},
    {"psInsideFrame", psInsideFrame},
}};

const std::array<std::pair<const char*, int>, 16> penModes{{
    {"pmBlack", pmBlack},
    {"pmWhite", pmWhite},
    {"pmNop", pmNop},
    {"pmNot", pmNot},
    {"pmCopy", pmCopy},
    {"pmNotCopy", pmNotCopy},
    {"pmMergePenNot", pmMergePenNot},
    {"pmMaskPenNot", pmMaskPenNot},
    {"pmMergeNotPen", pmMergeNotPen},
    {"pmMaskNotPen", pmMaskNotPen},
    {"pmMerge", pmMerge},
    {"pmNotMerge", pmNotMerge},
    {"pmMask", pmMask},
    {"pmNotMask", pmNotMask},
    {"pmXor", pmXor},
    {"pmNotXor", pmNotXor},
}};

const std::array<std::pair<const char*, int>, 8> brushStyles{{
    {"bsSolid", bsSolid},
    {"bsClear", bsClear},
    {"bsHorizontal", bsHorizontal},
    {"bsVertical", bsVertical},
    {"bsFDiagonal", bsFDiagonal},
    {"bsBDiagonal", bsBDiagonal},
    {"bsCross", bsCross},
    {"bsDiagCross", bsDiagCross},
}};

TFontStyles fontStyleSet(const QVariant& value) {
    if (value.typeId() != QMetaType::QStringList)
        wrongValue("a set of font styles", value);
    TFontStyles styles;
    for (const QString& name : value.toStringList())
        styles |= TFontStyle(namedValue(fontStyles, name, "a font style"));
    return styles;
}

int charsetValue(const QVariant& value) {
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    return namedValue(charsets, value, "a character set");
}

} // namespace

TColor colorValue(const QVariant& value) {
    if (value.typeId() == QMetaType::Int)
        return value.toInt();
    if (value.typeId() == QMetaType::QString)
        if (const std::optional<TColor> color = platform::colorFromName(value.toString()))
            return *color;
    wrongValue("a colour", value);
}

int intValue(const QVariant& value) {
    if (value.typeId() != QMetaType::Int)
        wrongValue("an integer", value);
    return value.toInt();
}

bool boolValue(const QVariant& value) {
    if (value.typeId() != QMetaType::Bool)
        wrongValue("True or False", value);
    return value.toBool();
}

QString stringValue(const QVariant& value) {
    if (value.typeId() != QMetaType::QString)
        wrongValue("a text", value);
    return value.toString();
}

bool applyFontProperty(TFont& font, QStringView key, const QVariant& value) {
    if (key == u"Name")
        font.setName(stringValue(value));
    else if (key == u"Height")
        font.setHeight(intValue(value));
    else if (key == u"Size")
        font.setSize(intValue(value));
    else if (key == u"Color")
        font.setColor(colorValue(value));
    else if (key == u"Style")
        font.setStyle(fontStyleSet(value));
    else if (key == u"Charset")
        font.setCharset(charsetValue(value));
    else if (key == u"Orientation")
        font.setOrientation(intValue(value));
    else
        return false;
    return true;
}

bool applyPenProperty(TPen& pen, QStringView key, const QVariant& value) {
    if (key == u"Color")
        pen.setColor(colorValue(value));
    else if (key == u"Width")
        pen.setWidth(intValue(value));
    else if (key == u"Style")
        pen.setStyle(TPenStyle(namedValue(penStyles, value, "a pen style")));
    else if (key == u"Mode")
        pen.setMode(TPenMode(namedValue(penModes, value, "a pen mode")));
    else
        return false;
    return true;
}

bool applyBrushProperty(TBrush& brush, QStringView key, const QVariant& value) {
    if (key == u"Color")
        brush.setColor(colorValue(value));
    else if (key == u"Style")
        brush.setStyle(TBrushStyle(namedValue(brushStyles, value, "a brush style")));
    else
        return false;
    return true;
}

} // namespace framework
