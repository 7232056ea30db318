#pragma once

#include <QtGlobal>

class QPaintDevice;

// How many of `device`'s pixels Qt's text layout makes of one pixel of a
// document's measures: the device's dots per inch over the screen's, as
// Qt counts them (96 when told to assume it, 100 without a screen).
qreal layoutScale(const QPaintDevice *device);
