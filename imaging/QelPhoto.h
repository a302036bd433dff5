// imaging/QelPhoto.h — pixel operations on 32-bit bitmaps seen through row pointers.
//
// A pixel is four bytes blue, green, red, fourth byte; as a 32-bit value it reads 0xAARRGGBB. Every
// operation on two photos (except RotatePhoto) needs equal sizes and reports a mismatch as an
// assertion failure. Unless stated otherwise the destination may be the source itself.
#pragma once
#include <QColor>
#include <QImage>
#include <QSize>
#include <QtGlobal>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "imaging/QelLUT.h"
#include "imaging/QelPhotoFilter.h"

namespace plovane {

// An internal error: a caller broke an operation's precondition.
class AssertionFailure : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// A view of 32-bit pixels; owns nothing and is valid while its bitmap is not resized or reformatted.
struct TPhoto {
    qint32 Width = 0;
    qint32 Height = 0;
    std::vector<quint32*> Rows;  // row 0 at the top of the image
};

// A photo of pixels stored anywhere: row i starts at row0 + i * rowStepBytes (negative when the
// rows are stored bottom-up).
TPhoto PhotoOfRows(quint32* row0, qint32 width, qint32 height, std::ptrdiff_t rowStepBytes);

// Sets the bitmap to 32 bits per pixel and returns a photo of it.
TPhoto MakePhoto(QImage& bitmap);
// Sets both to 32 bits per pixel and gives the destination the source's size.
void MakeSameSize(QImage& destination, QImage& source);

// The colour with red, green and blue in place and the fourth byte 0.
quint32 ColorToPixel(const QColor& colour);

// Left-right reversal that works in place: with an odd width the middle column is not written.
void Mirror(const TPhoto& destination, const TPhoto& source);
// Top-bottom reversal; with an odd height the middle row is not written.
void Flip(const TPhoto& destination, const TPhoto& source);
void Invert(const TPhoto& destination, const TPhoto& source);
// (29 blue + 150 green + 77 red) >> 8 into all three colour bytes.
void Grayscale(const TPhoto& destination, const TPhoto& source);
// Each colour byte v becomes abs(255 - 2v).
void Solarize(const TPhoto& destination, const TPhoto& source);
// 5 x 5 convolution of all four bytes, the kernel as written, edge pixels repeated beyond the
// edge; the destination must not be the source.
void Convolve(const TPhoto& destination, const TPhoto& source, const FilterKernel& kernel);
// Each colour byte through its own row of the table; the fourth byte is copied.
void ApplyChannelTables(const TPhoto& destination, const TPhoto& source, const LookupTable& table, int rowRed,
                        int rowGreen, int rowBlue);
// Nearest-neighbour rotation about the centre in 16.16 fixed point; a positive angle (radians)
// turns the picture clockwise. Destination pixels that fall outside the source get the background.
// The destination must not be the source; the sizes may differ.
void RotatePhoto(const TPhoto& destination, const TPhoto& source, quint32 background, double angle,
                 double scale);
// The bounding box of the bitmap turned by the angle and scaled.
QSize RotatedSize(const QImage& bitmap, double angle, double scale);

}  // namespace plovane
