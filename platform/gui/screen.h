#pragma once

#include <QSize>

class QWidget;

// Window layout is reckoned in twips (1440 per inch); this is the one place
// that turns them into pixels, using the screen's logical resolution.
namespace Screen {

int twips(int twipValue);          // twips to pixels
int toTwips(int pixels);           // pixels to twips
QSize size();                      // the primary screen's size in pixels

// Centres a top-level window on the screen; never at negative coordinates.
// Failures are ignored.
void centreForm(QWidget *window);

} // namespace Screen
