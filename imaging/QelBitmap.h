// imaging/QelBitmap.h — picture files in and out of bitmaps, and zoomed drawing.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QtGlobal>

namespace plovane {

// Pictures with more pixels are refused before anything is allocated for them.
constexpr qint64 MaxPicturePixels = qint64(1) << 26;

// Reads a BMP, GIF, JPEG, PNG, PCX or ICO file into a 24-bit bitmap filled with magenta first, so
// that transparent parts of the picture become magenta. A file that cannot be read abandons the
// command with the reader's message naming the file; the bitmap is then left as it was.
void LoadImageFile(QImage& bitmap, const QString& fileName);

// Writes the bitmap in the format of the file name's extension (any case): ".gif" GIF with the
// colours reduced to 256, ".jpg"/".jpeg"/".jpe" JPEG at jpegQuality when above 0 (else the
// encoder's default), ".png" PNG, ".pcx" PCX, anything else a Windows bitmap in the bitmap's own
// depth. The file is replaced only once it is written completely; a failure abandons the command
// with the writer's message naming the file.
void SaveImageFile(const QImage& bitmap, const QString& fileName, int jpegQuality);

// Loads the old file and saves it under the new name with the default JPEG quality.
void ConvertImageFile(const QString& newFileName, const QString& oldFileName);

// Draws the bitmap stretched into the rectangle. An enlargement in both directions is drawn in
// square tiles of tileSize pixels so that no single stretch covers the whole enlarged picture.
void DrawZoomed(const QImage& bitmap, QPainter& target, const QRect& rectangle, int tileSize);

}  // namespace plovane
