// Qt's PDF writer encodes every picture itself, always as JPEG of its own
// fixed quality and through a slow path. A report instead draws a one-pixel
// stand-in and then swaps in a JPEG encoded at the user's quality: the PDF's
// own incremental update writes a new version of the stand-in's image object
// after the file, so nothing Qt wrote moves.
#pragma once

#include "image/EncodedJpeg.h"

#include <QByteArray>

// pdf holds exactly one image (the stand-in); false, pdf unchanged, when it
// does not or its trailer cannot be read.
bool SwapSoleImage(QByteArray& pdf, const image::ENCODED_JPEG& jpeg);
