#pragma once

#include <QImage>

// The glyphs of the browse buttons, from the program's resources. Magenta marks transparent
// pixels. A glyph that cannot be read is a null image: the button then shows its face alone.
namespace controls {

// An open folder with an arrow, 14 x 13.
QImage openFolderGlyph();
// A closed folder, 13 x 14.
QImage folderGlyph();

} // namespace controls
