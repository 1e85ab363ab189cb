#pragma once

// What decoding one picture may cost, in one table, and the estimate of that
// cost made from a file's header before any pixel is decoded. A file of a
// few hundred bytes can declare a picture of gigabytes; the decoders'
// own working memory (every coefficient of a progressive JPEG, a second
// canvas for an animation) comes on top of the picture they return.

#include <QByteArray>
#include <QSize>
#include <QString>

struct DecodeLimits
{
    // The decoded picture, its conversions and the decoder's working
    // memory, as estimated before decoding.
    int memoryMb;
    // The longest side a picture may have, in pixels.
    int maxSide;
    // What the reading keeps beside the decoded picture, in bytes a pixel.
    int copyBytesPerPixel;
};

// Load takes display pictures (BMP), with room for large ones cut off at the
// edges. Import takes photographs and scans, which it reduces by way of a
// grey copy and a transparency copy.
inline constexpr DecodeLimits LoadLimits{128, 16384, 0};
inline constexpr DecodeLimits ImportLimits{256, 65535, 2};
// The frames of one animation taken into a series, decoded at its full
// size, in pixels all told: a small file can hold hundreds of large frames.
// 100 frames of 1920 x 1080; about 3 s of work (bench_series prepares 30
// million pixels in half a second).
inline constexpr qint64 MaxAnimationPixels = 210'000'000;
// A drawing (SVG), as text after any decompression, and the longest side it
// is rendered at.
inline constexpr qint64 MaxDrawingBytes = 16 * 1024 * 1024;
inline constexpr int MaxDrawingRenderSide = 4096;

// How much of a file's start decodeRefusal() needs: the headers that follow
// EXIF and the like.
inline constexpr qint64 DecodeHeaderBytes = 256 * 1024;

// Why a picture must not be decoded, naming the limit, or empty when it may
// be. `head` is the start of its file (read before any decoder reads it),
// `declared` the size its header gives (invalid when the format tells none
// before decoding), `decoded` the size it is decoded at (a JPEG can be
// decoded reduced).
QString decodeRefusal(const QByteArray &head, const QByteArray &format, QSize declared, QSize decoded,
                      const DecodeLimits &limits);

// The same, for a picture whose size is known only once it is decoded.
QString decodedRefusal(QSize decoded, const DecodeLimits &limits);
