#pragma once

#include "platform/Colors.h"

#include <QFlags>
#include <QString>
#include <functional>

class QFont;

// A text cell's vertical extent in pixels: the baseline lies ascent pixels below the top.
struct TFontCell {
    int ascent = 0;
    int descent = 0;
};

enum TFontStyle : unsigned { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

inline constexpr int ANSI_CHARSET = 0;
inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SYMBOL_CHARSET = 2;
inline constexpr int SHIFTJIS_CHARSET = 128;

// A font description as the class library keeps it. Height < 0 is the em height in pixels,
// Height > 0 the cell height (ascent + descent); Size is points at 96 pixels per inch.
// onChange fires after a setter really changed a value, and once on every assign().
class TFont {
public:
    static inline const QString kDefaultName = QStringLiteral("ＭＳ Ｐゴシック");
    static constexpr int kPixelsPerInch = 96;

    TFont() = default;
    // Copies take the values, never the change handler; assigning reports like assign().
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    void assign(const TFont& source);

    const QString& name() const { return m_name; }
    void setName(const QString& name);
    int height() const { return m_height; }
    void setHeight(int height);
    int size() const;
    void setSize(int points);
    TColor color() const { return m_color; }
    void setColor(TColor color);
    TFontStyles style() const { return m_style; }
    void setStyle(TFontStyles style);
    int charset() const { return m_charset; }
    void setCharset(int charset);
    // Text direction in tenths of a degree, counter-clockwise (2700 runs downward).
    int orientation() const { return m_orientation; }
    void setOrientation(int tenthsOfDegree);

    bool operator==(const TFont& other) const;

    // The Qt font that renders this description: substituted family, pixel size, no
    // antialiasing, full hinting (integer advances), no kerning.
    QFont toQFont() const;
    // The em height in pixels that toQFont() asks for.
    int pixelSize() const;
    // The cell text is laid out in: the designed-for family's where a stand-in renders it,
    // otherwise the rendering font's own.
    TFontCell cell() const;

    std::function<void()> onChange;

    // Registers the substitutions of the designed-for families once per process.
    static void ensureSubstitutions();

private:
    void changed();

    QString m_name = kDefaultName;
    int m_height = -12;
    TColor m_color = clWindowText;
    TFontStyles m_style;
    int m_charset = DEFAULT_CHARSET;
    int m_orientation = 0;
};
