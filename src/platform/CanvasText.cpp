#include "platform/Canvas.h"
#include "platform/CanvasFontCache.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <algorithm>

namespace platform {

struct Canvas::TextLine {
    QString text;
    int underline = -1; // index in text of the accelerator character
    int width = 0;
};

namespace {

const QString kEllipsis = QStringLiteral("...");

bool isSpace(QChar c) {
    return c == u' ';
}

// Characters between which a line may break without a space: ideographs, kana, full-width and
// half-width forms.
bool isCjk(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x1100 && u <= 0x11FF) || (u >= 0x2E80 && u <= 0x9FFF) ||
           (u >= 0xAC00 && u <= 0xD7AF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFF00 && u <= 0xFFEF) || QChar::isSurrogate(u);
}

// Removes the accelerator marks: "&x" marks x, "&&" stands for "&", a final "&" vanishes.
// Answers the visible text and the index of the marked character (the last one), or -1.
std::pair<QString, int> stripPrefixes(const QString& text) {
    QString visible;
    visible.reserve(text.size());
    int marked = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            visible += text[i];
            continue;
        }
        if (i + 1 >= text.size())
            break;
        ++i;
        if (text[i] != u'&')
            marked = int(visible.size());
        visible += text[i];
    }
    return {visible, marked};
}

// Code point at i and the number of code units it takes.
std::pair<char32_t, int> codePointAt(QStringView s, qsizetype i) {
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, s[i + 1]), 2};
    return {c.unicode(), 1};
}

} // namespace

const Canvas::FontCache& Canvas::fontCache() const {
    if (!m_fontCache)
        m_fontCache = std::make_unique<FontCache>(m_font);
    return *m_fontCache;
}

int Canvas::advance(char32_t ch) const {
    const FontCache& cache = fontCache();
    const auto found = cache.advances.constFind(ch);
    if (found != cache.advances.constEnd())
        return *found;
    const int width = cache.metrics.horizontalAdvance(QString::fromUcs4(&ch, 1));
    m_fontCache->advances.insert(ch, width);
    return width;
}

int Canvas::measureLine(QStringView text, bool expandTabs, int tabWidth) const {
    int x = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [ch, units] = codePointAt(text, i);
        if (ch == u'\t' && expandTabs)
            x = tabWidth > 0 ? (x / tabWidth + 1) * tabWidth : x;
        else
            x += advance(ch);
        i += units;
    }
    return x;
}

void Canvas::drawGlyphs(QPainter& painter, int x, int baseline, QStringView text, bool expandTabs,
                        int tabWidth) const {
    // Glyph by glyph on whole pixels, as the platform places them (no kerning, no shaping).
    const int start = x;
    for (qsizetype i = 0; i < text.size();) {
        const auto [ch, units] = codePointAt(text, i);
        if (ch == u'\t' && expandTabs) {
            const int offset = x - start;
            x = start + (tabWidth > 0 ? (offset / tabWidth + 1) * tabWidth : offset);
        } else {
            painter.drawText(QPoint(x, baseline), text.mid(i, units).toString());
            x += advance(ch);
        }
        i += units;
    }
}

TextMetrics Canvas::textMetrics() const {
    return fontCache().tm;
}

QSize Canvas::textExtent(const QString& text) const {
    return QSize(measureLine(text, false, 0), fontCache().tm.tmHeight);
}

void Canvas::fillTextBackground(const QRect& logicalRect, const QRect& deviceClip) {
    const QRect r = logicalRect.translated(m_origin) & deviceClip;
    if (r.isEmpty())
        return;
    const std::uint32_t bk = swapRedBlue(colorToRgb(m_bkColor));
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            writeDevice(x, y, bk);
}

namespace {

void preparePainter(QPainter& painter, const QFont& font, TColor color, const QRect& deviceClip,
                    QPoint origin) {
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setFont(font);
    painter.setPen(toQColor(color));
    painter.setClipRect(deviceClip);
    painter.translate(origin);
}

} // namespace

void Canvas::textOut(int x, int y, const QString& text) {
    if (text.isEmpty() || m_effectiveClip.isEmpty())
        return;
    const FontCache& cache = fontCache();
    const int orientation = m_font.orientation();
    if (orientation == 0 && m_bkMode == BkMode::Opaque)
        fillTextBackground(QRect(x, y, measureLine(text, false, 0), cache.tm.tmHeight),
                           m_effectiveClip);
    QPainter painter(&m_image);
    preparePainter(painter, cache.font, m_textColor, m_effectiveClip, m_origin);
    painter.translate(x, y);
    if (orientation != 0)
        painter.rotate(-orientation / 10.0);
    drawGlyphs(painter, 0, cache.tm.tmAscent, text, false, 0);
}

void Canvas::textRect(const QRect& rect, int x, int y, const QString& text) {
    const QRect clip = rect.translated(m_origin) & m_effectiveClip;
    if (clip.isEmpty())
        return;
    if (!m_brush.isClear())
        fillTextBackground(rect, m_effectiveClip);
    const FontCache& cache = fontCache();
    QPainter painter(&m_image);
    preparePainter(painter, cache.font, m_textColor, clip, m_origin);
    drawGlyphs(painter, x, y + cache.tm.tmAscent, text, false, 0);
}

std::vector<Canvas::TextLine> Canvas::layoutText(const QString& text, unsigned format,
                                                 int availableWidth, int tabWidth) const {
    const bool expandTabs = format & DT_EXPANDTABS;
    const auto [visible, marked] =
        (format & DT_NOPREFIX) ? std::pair<QString, int>(text, -1) : stripPrefixes(text);
    const QStringView all(visible);

    // Logical lines; a break at the very end opens no further line.
    std::vector<std::pair<qsizetype, qsizetype>> logical;
    if (format & DT_SINGLELINE) {
        logical.emplace_back(0, all.size());
    } else {
        qsizetype start = 0;
        for (qsizetype i = 0; i < all.size(); ++i) {
            if (all[i] != u'\n' && all[i] != u'\r')
                continue;
            logical.emplace_back(start, i);
            if (all[i] == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
        if (start < all.size() || logical.empty())
            logical.emplace_back(start, all.size());
    }

    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    const bool ellipsis = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
    const auto breakBefore = [&](qsizetype j) {
        if (j <= 0 || j >= all.size() || all[j].isLowSurrogate())
            return false;
        return (isSpace(all[j - 1]) && !isSpace(all[j])) || isCjk(all[j - 1]) || isCjk(all[j]);
    };

    std::vector<std::pair<qsizetype, qsizetype>> segments;
    for (const auto& [lineStart, lineEnd] : logical) {
        if (!wrap) {
            segments.emplace_back(lineStart, lineEnd);
            continue;
        }
        qsizetype pos = lineStart;
        if (pos == lineEnd)
            segments.emplace_back(pos, pos);
        while (pos < lineEnd) {
            int x = 0;
            qsizetype lastBreak = -1;
            qsizetype i = pos;
            while (i < lineEnd) {
                const auto [ch, units] = codePointAt(all, i);
                const int w = (ch == u'\t' && expandTabs)
                                  ? (tabWidth > 0 ? (x / tabWidth + 1) * tabWidth - x : 0)
                                  : advance(ch);
                if (x + w > availableWidth && i > pos)
                    break;
                x += w;
                i += units;
                if (i < lineEnd && breakBefore(i))
                    lastBreak = i;
            }
            if (i >= lineEnd) {
                segments.emplace_back(pos, lineEnd);
                break;
            }
            qsizetype end = i;
            if (!isSpace(all[i])) {
                if (lastBreak > pos) {
                    end = lastBreak;
                } else if (ellipsis) {
                    // The word stays whole; the ellipsis shortens it below.
                    while (end < lineEnd && !breakBefore(end))
                        ++end;
                }
            }
            qsizetype next = end;
            while (next < lineEnd && isSpace(all[next]))
                ++next;
            while (end > pos && isSpace(all[end - 1]))
                --end;
            segments.emplace_back(pos, end);
            pos = next;
        }
    }

    std::vector<TextLine> lines;
    lines.reserve(segments.size());
    for (const auto& [start, end] : segments) {
        TextLine line;
        line.text = all.mid(start, end - start).toString();
        line.underline = (marked >= start && marked < end) ? int(marked - start) : -1;
        line.width = measureLine(line.text, expandTabs, tabWidth);
        if (ellipsis && line.width > availableWidth) {
            const auto fits = [&](const QString& s) {
                return measureLine(s, expandTabs, tabWidth) <= availableWidth;
            };
            const auto endEllipsis = [&](const QString& s, int& underline) {
                qsizetype keep = s.size();
                while (keep > 0 && !fits(s.left(keep) + kEllipsis))
                    --keep;
                if (keep > 0 && s[keep - 1].isHighSurrogate())
                    --keep;
                if (underline >= keep)
                    underline = -1;
                return s.left(keep) + kEllipsis;
            };
            QString shortened = line.text;
            const qsizetype separator =
                std::max(line.text.lastIndexOf(u'\\'), line.text.lastIndexOf(u'/'));
            if ((format & DT_PATH_ELLIPSIS) && separator >= 0) {
                // Keep the last path component, shorten what comes before it.
                const QString tail = line.text.mid(separator);
                qsizetype keep = separator;
                while (keep > 0 && !fits(line.text.left(keep) + kEllipsis + tail))
                    --keep;
                shortened = line.text.left(keep) + kEllipsis + tail;
                if (line.underline >= separator)
                    line.underline += int(keep + kEllipsis.size() - separator);
                else if (line.underline >= keep)
                    line.underline = -1;
                if (!fits(shortened) && (format & DT_END_ELLIPSIS))
                    shortened = endEllipsis(shortened, line.underline);
            } else {
                shortened = endEllipsis(line.text, line.underline);
            }
            line.text = shortened;
            line.width = measureLine(line.text, expandTabs, tabWidth);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

DrawTextResult Canvas::drawText(const QString& text, const QRect& rect, unsigned format) {
    return drawTextEx(text, rect, format, DrawTextParams{});
}

DrawTextResult Canvas::drawTextEx(const QString& text, const QRect& rect, unsigned format,
                                  const DrawTextParams& params) {
    const FontCache& cache = fontCache();
    int tabLength = params.tabLength > 0 ? params.tabLength : 8;
    if (format & DT_TABSTOP) {
        // The tab length shares its byte with the flags that use bits 8 to 15.
        tabLength = int((format >> 8) & 0xFF);
        format &= ~0xFF00u;
    }
    const int tabWidth = tabLength * cache.tm.tmAveCharWidth;
    const int lineHeight =
        cache.tm.tmHeight + ((format & DT_EXTERNALLEADING) ? cache.tm.tmExternalLeading : 0);
    const int left = rect.x() + params.leftMargin;
    const int right = gdiRight(rect) - params.rightMargin;
    const int top = rect.y();
    const int bottom = gdiBottom(rect);

    DrawTextResult result;
    result.rect = rect;
    if (text.isEmpty()) {
        if (format & DT_CALCRECT)
            result.rect = gdiRect(rect.x(), top, rect.x(), top);
        return result;
    }

    const std::vector<TextLine> lines = layoutText(text, format, right - left, tabWidth);
    const int textHeight = int(lines.size()) * lineHeight;
    int y = top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = top + (bottom - top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = bottom - lineHeight;
    }

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines)
            widest = std::max(widest, line.width);
        result.rect = gdiRect(rect.x(), top, left + widest + params.rightMargin, top + textHeight);
        result.height = textHeight;
        return result;
    }
    result.height = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))
                        ? y - top + lineHeight
                        : textHeight;

    const QRect deviceClip =
        (format & DT_NOCLIP) ? m_effectiveClip : (rect.translated(m_origin) & m_effectiveClip);
    if (deviceClip.isEmpty())
        return result;
    const bool expandTabs = format & DT_EXPANDTABS;
    const bool paintGlyphs = !(format & DT_PREFIXONLY);
    const bool drawUnderline = !(format & DT_HIDEPREFIX);

    std::vector<QPoint> linePositions;
    linePositions.reserve(lines.size());
    for (const TextLine& line : lines) {
        int x = left;
        if (format & DT_CENTER)
            x = left + (right - left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = right - line.width;
        linePositions.emplace_back(x, y);
        if (paintGlyphs && m_bkMode == BkMode::Opaque)
            fillTextBackground(QRect(x, y, line.width, cache.tm.tmHeight), deviceClip);
        y += lineHeight;
    }
    if (paintGlyphs) {
        QPainter painter(&m_image);
        preparePainter(painter, cache.font, m_textColor, deviceClip, m_origin);
        for (std::size_t i = 0; i < lines.size(); ++i)
            drawGlyphs(painter, linePositions[i].x(), linePositions[i].y() + cache.tm.tmAscent,
                       lines[i].text, expandTabs, tabWidth);
    }
    if (drawUnderline) {
        const std::uint32_t color = swapRedBlue(colorToRgb(m_textColor));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const TextLine& line = lines[i];
            if (line.underline < 0)
                continue;
            const QStringView view(line.text);
            const int x0 =
                linePositions[i].x() + measureLine(view.left(line.underline), expandTabs, tabWidth);
            const int x1 = linePositions[i].x() +
                           measureLine(view.left(line.underline + 1), expandTabs, tabWidth) - 1;
            const QPoint d = toDevice(0, linePositions[i].y() + cache.tm.tmAscent + 1);
            for (int x = x0; x < x1; ++x) {
                const int dx = x + m_origin.x();
                if (deviceClip.contains(dx, d.y()))
                    writeDevice(dx, d.y(), color);
            }
        }
    }
    return result;
}

} // namespace platform
