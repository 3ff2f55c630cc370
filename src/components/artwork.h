#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace fairstake {

// Pictures of the program's own artwork, read in the format their file name
// gives.  Left to guess, Qt's image reader loads every image plugin installed
// to ask each whether it knows the picture, even a PNG it reads itself.
QImage ReadArtwork(const QString& path);

// The picture for a screen of the given device pixel ratio: its "@2x" drawing
// where the ratio calls for one and it exists, else the picture itself.  The
// image may be read on any thread; pixmaps belong to the window thread.
QImage ArtworkImage(const QString& path, qreal ratio);
QPixmap ArtworkPixmap(const QString& path, qreal ratio);

// An icon of the picture and its "@2x" drawing, read when it is first drawn
// or measured (menu images are not needed until a menu opens).
QIcon ArtworkIcon(const QString& path);

} // namespace fairstake
