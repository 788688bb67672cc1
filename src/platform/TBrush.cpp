#include "platform/TBrush.h"

TBrush::TBrush(const TBrush& other)
    : m_color(other.m_color), m_style(other.m_style), m_bitmap(other.m_bitmap) {}

TBrush& TBrush::operator=(const TBrush& other) {
    if (this != &other)
        assign(other);
    return *this;
}

void TBrush::assign(const TBrush& source) {
    m_color = source.m_color;
    m_style = source.m_style;
    m_bitmap = source.m_bitmap;
    changed();
}

void TBrush::setColor(TColor color) {
    if (color == m_color && m_style != bsClear)
        return;
    m_color = color;
    if (m_style == bsClear)
        m_style = bsSolid;
    changed();
}

void TBrush::setStyle(TBrushStyle style) {
    if (style == m_style)
        return;
    m_style = style;
    changed();
}

void TBrush::setBitmap(const QImage& pattern) {
    if (pattern.isNull() && m_bitmap.isNull())
        return;
    m_bitmap = pattern;
    changed();
}

bool TBrush::operator==(const TBrush& other) const {
    return m_color == other.m_color && m_style == other.m_style &&
           m_bitmap.cacheKey() == other.m_bitmap.cacheKey();
}

void TBrush::changed() {
    if (onChange)
        onChange();
}
