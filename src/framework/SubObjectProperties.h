#pragma once

#include "platform/Colors.h"

#include <QMetaEnum>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <stdexcept>

class TFont;
class TPen;
class TBrush;

// Conversions of the values the form loader hands to TComponent::applyProperty(), for controls
// whose sub-objects are plain classes. Each throws std::invalid_argument for a value of the
// wrong kind, which the loader reports with the line.
namespace framework {

// An int, or a colour name / "$hex" / decimal text.
TColor colorValue(const QVariant& value);
int intValue(const QVariant& value);
bool boolValue(const QVariant& value);
QString stringValue(const QVariant& value);
// An identifier naming a value of a Q_ENUM / Q_ENUM_NS enumeration.
template <class E> E enumValue(const QVariant& value) {
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    bool ok = false;
    const int v = meta.keyToValue(stringValue(value).toLatin1().constData(), &ok);
    if (!ok)
        throw std::invalid_argument("unknown " + std::string(meta.name()) + " value " +
                                    value.toString().toStdString());
    return E(v);
}

// Font.Name, Height, Size, Color, Style ([fsBold, fsItalic, fsUnderline, fsStrikeOut]),
// Charset (a number or SHIFTJIS_CHARSET...), Orientation. The key is the part after "Font.".
// False for an unknown key.
bool applyFontProperty(TFont& font, QStringView key, const QVariant& value);
// Pen.Color, Width, Style (psSolid...), Mode (pmCopy...).
bool applyPenProperty(TPen& pen, QStringView key, const QVariant& value);
// Brush.Color, Style (bsSolid, bsClear...).
bool applyBrushProperty(TBrush& brush, QStringView key, const QVariant& value);

} // namespace framework
