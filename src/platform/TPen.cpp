#include "platform/TPen.h"

TPen::TPen(const TPen& other)
    : m_color(other.m_color), m_width(other.m_width), m_style(other.m_style), m_mode(other.m_mode) {
}

TPen& TPen::operator=(const TPen& other) {
    if (this != &other)
        assign(other);
    return *this;
}

void TPen::assign(const TPen& source) {
    m_color = source.m_color;
    m_width = source.m_width;
    m_style = source.m_style;
    m_mode = source.m_mode;
    changed();
}

void TPen::setColor(TColor color) {
    if (color == m_color)
        return;
    m_color = color;
    changed();
}

void TPen::setWidth(int width) {
    if (width < 0)
        width = 0;
    if (width == m_width)
        return;
    m_width = width;
    changed();
}

void TPen::setStyle(TPenStyle style) {
    if (style == m_style)
        return;
    m_style = style;
    changed();
}

void TPen::setMode(TPenMode mode) {
    if (mode == m_mode)
        return;
    m_mode = mode;
    changed();
}

bool TPen::operator==(const TPen& other) const {
    return m_color == other.m_color && m_width == other.m_width && m_style == other.m_style &&
           m_mode == other.m_mode;
}

void TPen::changed() {
    if (onChange)
        onChange();
}
