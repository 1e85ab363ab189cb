#pragma once

#include <QImage>
#include <QRgb>
#include <array>

// The 128 x 64 picture behind the image box: one 24-bit colour per pixel.
// A pixel is set (a lit LCD dot) only when its colour is exactly black.
class Canvas
{
public:
    static constexpr int Width = 128;
    static constexpr int Height = 64;
    static constexpr QRgb Black = 0x000000;
    static constexpr QRgb White = 0xFFFFFF;
    // Every pixel, row by row: what undo keeps of a picture.
    using Pixels = std::array<QRgb, Width * Height>;

    Canvas();

    // True when (x, y) lies on the shown canvas and is exactly black.
    bool pixelIsSet(int x, int y) const
    {
        if (x < 0 || x >= Width || y < 0 || y >= shownRows_)
            return false;
        return pixels_[static_cast<std::size_t>(y * Width + x)] == Black;
    }

    // Paints a filled round dot of penSize pixels in drawColour, centred on
    // (x, y) in canvas units; what falls off the shown canvas is dropped.
    void plotDot(double x, double y);
    // One pixel in `colour`, when it lies on the shown canvas.
    void paintPixel(int x, int y, QRgb colour)
    {
        if (x >= 0 && x < Width && y >= 0 && y < shownRows_)
            pixels_[static_cast<std::size_t>(y * Width + x)] = colour & 0xFFFFFF;
    }
    void clearCanvas();
    // The canvas becomes white and the picture is copied in at the top-left
    // corner, one picture pixel per canvas pixel, clipped at the edges.
    void placePicture(const QImage &picture);
    // The pixels as shown (loaded picture and drawing together).
    QImage canvasImage() const;

    QRgb drawColour() const { return drawColour_; }
    void setDrawColour(QRgb colour) { drawColour_ = colour & 0xFFFFFF; }
    int penSize() const { return penSize_; }
    void setPenSize(int size) { penSize_ = size; }

    // In 128x32 mode only rows 0..31 are shown: the rest reads as clear and
    // is not painted, so it comes back unchanged in 128x64 mode.
    void setHalfHeight(bool half) { shownRows_ = half ? Height / 2 : Height; }
    int shownRows() const { return shownRows_; }

    QRgb colourAt(int x, int y) const { return pixels_[static_cast<std::size_t>(y * Width + x)]; }
    // All 64 rows, also those hidden in 128x32 mode.
    const Pixels &pixels() const { return pixels_; }
    void setPixels(const Pixels &pixels) { pixels_ = pixels; }

private:
    Pixels pixels_;
    QRgb drawColour_ = Black;
    int penSize_ = 1;
    int shownRows_ = Height;
};
