#pragma once
#include <QIcon>

// The glyphs of the window's bitmap buttons, drawn rather than loaded so that they need no files.
namespace toa::app {

// A green check mark: the glyph of the OK kind.
QIcon checkMarkGlyph();
// An open door with an arrow leaving it: the glyph of the close kind.
QIcon doorGlyph();

}  // namespace toa::app
