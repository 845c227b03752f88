#pragma once

#include <QByteArray>

class DemoRandom;

// A monochrome Windows bitmap (.bmp) of a few black boxes on white: a logo or a picture
// control of a label, a real image file of a few KB that any viewer opens.
QByteArray DemoBitmap(DemoRandom& random, int width, int height);
