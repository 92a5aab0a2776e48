// Writers of the image files the decoders must read that neither our own
// writer nor Qt's produces: run-length coded BMP and four-colour JPEG, each
// built byte by byte.
#pragma once

#include <cstdint>
#include <vector>

namespace testfiles {

// BI_RLE8 codes for w x h indices (rows top first, w bytes each), written
// bottom row first as the format wants: encoded runs, absolute runs, deltas
// over spans and rows of index 0, end-of-line where a row ends in zeros, and
// the end-of-bitmap code.
std::vector<uint8_t> Rle8Codes(const std::vector<uint8_t>& idx, int w, int h);

// BI_RLE8 codes as ImageMagick writes them: only encoded runs, each row
// coded to its 4-byte padded width (the padding as index 0), so the last run
// of a row whose width is not a multiple of 4 reaches past the row's end;
// an end-of-line after every row, then the end-of-bitmap code.
std::vector<uint8_t> PaddedRowRle8Codes(const std::vector<uint8_t>& idx, int w, int h);

// An 8-bit BMP with the grey-ramp palette holding the given run-length codes.
std::vector<uint8_t> Rle8Bmp(const std::vector<uint8_t>& codes, int w, int h);

// An 8-bit uncompressed BMP (grey ramp) of the same indices.
std::vector<uint8_t> PlainBmp8(const std::vector<uint8_t>& idx, int w, int h);

// Puts colour i of a BGR table into the palette of an 8-bit BMP from above.
void SetBmpColour(std::vector<uint8_t>& bmp, int i, uint8_t b, uint8_t g, uint8_t r);

// A baseline JPEG of four components, C, M, Y and K in that order, each
// w x h bytes, coded as stored (no colour transform). With bAdobe the file
// carries Adobe's APP14 segment (transform 0), which tells readers the
// values are inverted.
std::vector<uint8_t> CmykJpeg(const std::vector<uint8_t> planes[4], int w, int h, bool bAdobe);

// A YCCK JPEG with Adobe's segment, as the JPEG library writes from CMYK
// pixels (c, m, y, k bytes per pixel).
std::vector<uint8_t> YcckJpeg(const std::vector<uint8_t>& cmyk, int w, int h);

} // namespace testfiles
