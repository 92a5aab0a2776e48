// Files from other programs: run-length coded BMP and four-colour JPEG.
#include "image/AccImage.h"
#include "image/ImageCodec.h"
#include "image/ImageFileMakers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cmath>
#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

// Decodes from a buffer of exactly the file's size, so a read past its end
// is a read past the allocation.
bool Decode(const Bytes& file, image::DECODED_IMAGE& out)
{
    const Bytes exact(file.begin(), file.end());
    return exact.size() > 1 && exact[0] == 'B' ? image::DecodeBmp(exact.data(), exact.size(), out)
                                               : image::DecodeJpeg(exact.data(), exact.size(), out);
}

int JpegColourSpace(const Bytes& j)
{
    tjhandle h = tjInitDecompress();
    int w = 0, hh = 0, sub = 0, cs = -1;
    tjDecompressHeader3(h, j.data(), (unsigned long)j.size(), &w, &hh, &sub, &cs);
    tjDestroy(h);
    return cs;
}

// Mean and largest difference of the w x h pixels of n bytes each.
struct DIFF {
    double mean = 0;
    int max = 0;
};
DIFF Compare(const uint8_t* a, int strideA, const uint8_t* b, int strideB, int w, int h, int n)
{
    DIFF d;
    for (int y = 0; y < h; ++y) {
        for (int i = 0; i < w * n; ++i) {
            const int e = std::abs(int(a[size_t(y) * strideA + i]) - int(b[size_t(y) * strideB + i]));
            d.mean += e;
            d.max = std::max(d.max, e);
        }
    }
    d.mean /= double(w) * h * n;
    return d;
}

class FileDecoderTest : public ::testing::Test {
protected:
    QString Path(const QString& n) const { return QDir(tmp.path()).filePath(n); }
    QString Write(const char* name, const Bytes& b) const
    {
        const QString path = Path(QString::fromLatin1(name));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(reinterpret_cast<const char*>(b.data()), qint64(b.size()));
        return path;
    }
    QTemporaryDir tmp;
};

// Indices with runs, noise, spans and rows of index 0, and rows ending in 0.
Bytes RlePicture(int w, int h)
{
    Bytes idx(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t v = uint8_t(((x * 2654435761u) ^ (y * 40503u)) >> 7);
            if (x < 290) {
                v = uint8_t(y * 7 + 1); // a run longer than one code holds
            } else if (x < 300) {
                v = uint8_t(x); // a literal stretch
            } else if (x < 312 || (x >= 330 && x < 620)) {
                v = 0; // spans crossed by deltas, one longer than a delta reaches
            }
            if (y % 3 == 0 && x >= w - 40) {
                v = 0; // row ends left to end-of-line
            }
            if ((y >= 10 && y < 15) || y == 20 || y < 2) {
                v = 0; // whole rows skipped; the top two by end-of-bitmap
            }
            idx[size_t(y) * w + x] = v;
        }
    }
    return idx;
}

} // namespace

TEST_F(FileDecoderTest, Rle8BmpEqualsTheSamePictureUncompressed)
{
    const int w = 701, h = 40;
    const Bytes idx = RlePicture(w, h);
    const Bytes codes = testfiles::Rle8Codes(idx, w, h);

    Bytes rle = testfiles::Rle8Bmp(codes, w, h);
    Bytes plain = testfiles::PlainBmp8(idx, w, h);
    image::DECODED_IMAGE a, b;
    ASSERT_TRUE(Decode(plain, a));
    ASSERT_TRUE(Decode(rle, b));
    EXPECT_EQ(b.nBitCount, 8u);
    EXPECT_EQ(b.nWidth, w);
    EXPECT_EQ(b.nHeight, h);
    EXPECT_TRUE(a.pixels == b.pixels);

    // Through the picture buffer, the way the main window opens a file.
    CAccImage img;
    IMAGE_INFO info{};
    ASSERT_TRUE(img.LoadImageFile(Write("rle.bmp", rle), &info));
    EXPECT_EQ(info.nBitCount, 8u);
    EXPECT_EQ(std::memcmp(img.LockPixels().Pixels(), a.pixels.data(), a.pixels.size()), 0);

    // A colour palette gives colour, index 0 (the skipped pixels) included.
    for (Bytes* f : {&rle, &plain}) {
        testfiles::SetBmpColour(*f, 0, 10, 20, 30);
        testfiles::SetBmpColour(*f, 1, 200, 100, 0);
    }
    ASSERT_TRUE(Decode(plain, a));
    ASSERT_TRUE(Decode(rle, b));
    EXPECT_EQ(b.nBitCount, 24u);
    EXPECT_TRUE(a.pixels == b.pixels);
    EXPECT_EQ(b.pixels[0], 10); // the top row is all index 0
    EXPECT_EQ(b.pixels[2], 30);

    // Every code kind at a known place: a run, a delta up one row and right,
    // an end of line, an absolute run with its pad byte, a delta right and up.
    const Bytes small = testfiles::Rle8Bmp({3, 5, 0, 2, 1, 1, 2, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 2, 2, 1, 1, 9, 0, 1}, 6,
                                           4);
    const uint8_t expected[4][6] = {
        {0, 0, 0, 0, 0, 9}, {1, 2, 3, 0, 0, 0}, {0, 0, 0, 0, 7, 7}, {5, 5, 5, 0, 0, 0}}; // top row first
    ASSERT_TRUE(Decode(small, b));
    ASSERT_EQ(b.nBitCount, 8u);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(std::memcmp(b.pixels.data() + 8 * y, expected[y], 6), 0) << y;
    }
}

TEST_F(FileDecoderTest, HostileRunLengthCodesFail)
{
    const Bytes cases[] = {
        {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1},         // a run above the top row
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},         // an end of line above the top row
        {0, 2, 0, 4, 0, 1},                           // a delta above the top row
        {0, 2, 7, 0, 0, 1},                           // a delta past the row
        {0, 2, 3, 0, 0, 2, 4, 0, 0, 1},               // two deltas past the row
        {0, 2, 255, 255, 0, 1},                       // a delta far outside
        {2, 1},                                       // no end-of-bitmap code
        {2, 1, 0},                                    // a code cut in two
        {0, 5, 1, 2},                                 // absolute data cut short
        {0, 3, 1, 2, 3},                              // pad byte and end code missing
        {0, 2, 1},                                    // a delta cut short
        {},                                           // no codes at all
    };
    CAccImage keep;
    const uint8_t px[8 * 4] = {1, 2, 3};
    ASSERT_TRUE(keep.SetImage(px, IMAGE_INFO{8, 6, 4}));
    int n = 0;
    for (const Bytes& c : cases) {
        const Bytes f = testfiles::Rle8Bmp(c, 6, 4);
        image::DECODED_IMAGE out;
        EXPECT_FALSE(Decode(f, out)) << "case " << n;
        EXPECT_FALSE(keep.LoadImageFile(Write("bad.bmp", f))) << "case " << n;
        EXPECT_EQ(keep.GetWidth(), 6);
        EXPECT_EQ(keep.LockPixels().Pixels()[2], 3); // the picture shown so far stays
        ++n;
    }

    // Every cut of a good file before its end code fails.
    const Bytes idx = RlePicture(300, 24);
    const Bytes codes = testfiles::Rle8Codes(idx, 300, 24);
    const Bytes good = testfiles::Rle8Bmp(codes, 300, 24);
    image::DECODED_IMAGE out;
    ASSERT_TRUE(Decode(good, out));
    const size_t dataAt = good.size() - codes.size();
    for (size_t cut = dataAt; cut < good.size(); ++cut) {
        ASSERT_FALSE(Decode(Bytes(good.begin(), good.begin() + std::ptrdiff_t(cut)), out)) << cut;
    }
    // The image size field bounds the codes; a larger one is held to the file.
    Bytes shortSize = good;
    shortSize[34] = uint8_t(codes.size() - 2);
    shortSize[35] = uint8_t((codes.size() - 2) >> 8);
    EXPECT_FALSE(Decode(shortSize, out));
    Bytes longSize = good;
    longSize[37] = 0x7f;
    EXPECT_TRUE(Decode(longSize, out));

    // Top-down run-length files, run-length codes for other depths, RLE4, and
    // codes that start past the end of the file.
    auto patched = [&](size_t at, std::initializer_list<uint8_t> v) {
        Bytes b = good;
        std::copy(v.begin(), v.end(), b.begin() + std::ptrdiff_t(at));
        return b;
    };
    EXPECT_FALSE(Decode(patched(22, {0xe8, 0xff, 0xff, 0xff}), out)); // height -24
    EXPECT_FALSE(Decode(patched(28, {24}), out));
    EXPECT_FALSE(Decode(patched(28, {4, 0, 2}), out));
    EXPECT_FALSE(Decode(patched(30, {2}), out));
    EXPECT_FALSE(Decode(patched(10, {0xff, 0xff, 0, 0}), out));
}

// ImageMagick codes each row to its padded width: the runs past the row's
// end are dropped, the picture is the same as uncompressed.
TEST_F(FileDecoderTest, RunsPastTheRowsEndAreCut)
{
    for (const int w : {37, 38, 39, 40}) {
        const int h = 6;
        Bytes idx(size_t(w) * h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                // Rows that end in zeros (one run crosses the row's end), in
                // another index, and in noise.
                const uint8_t v = y % 3 == 0 ? uint8_t(x < w - 5 ? 9 : 0) : y % 3 == 1 ? uint8_t(y + 1) : uint8_t(x * 37 + y);
                idx[size_t(y) * w + x] = v;
            }
        }
        const Bytes codes = testfiles::PaddedRowRle8Codes(idx, w, h);
        const Bytes rle = testfiles::Rle8Bmp(codes, w, h);
        image::DECODED_IMAGE a, b;
        ASSERT_TRUE(Decode(testfiles::PlainBmp8(idx, w, h), a));
        ASSERT_TRUE(Decode(rle, b)) << "width " << w;
        EXPECT_TRUE(a.pixels == b.pixels) << "width " << w;
        CAccImage img;
        EXPECT_TRUE(img.LoadImageFile(Write("padded.bmp", rle))) << "width " << w;

        // Still refused: a run above the top row, and codes cut before their end.
        Bytes above = codes;
        above.insert(above.end() - 2, {3, 1});
        EXPECT_FALSE(Decode(testfiles::Rle8Bmp(above, w, h), b)) << "width " << w;
        for (size_t cut = 0; cut < codes.size(); cut += 3) {
            EXPECT_FALSE(Decode(testfiles::Rle8Bmp(Bytes(codes.begin(), codes.begin() + std::ptrdiff_t(cut)), w, h), b))
                << "width " << w << " cut " << cut;
        }
    }

    // Runs of either kind cut at a known place on a 6 x 2 picture.
    const struct {
        Bytes codes;
        uint8_t bottom[6];
    } cases[] = {
        {{7, 1, 0, 1}, {1, 1, 1, 1, 1, 1}},
        {{4, 1, 3, 2, 0, 1}, {1, 1, 1, 1, 2, 2}},
        {{0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 1}, {1, 2, 3, 4, 5, 6}},
        {{0, 2, 6, 0, 1, 1, 0, 1}, {0, 0, 0, 0, 0, 0}}, // from the row's end: nothing
        {{6, 3, 2, 4, 0, 0, 1, 5, 0, 1}, {3, 3, 3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        image::DECODED_IMAGE out;
        ASSERT_TRUE(Decode(testfiles::Rle8Bmp(c.codes, 6, 2), out));
        EXPECT_EQ(std::memcmp(out.pixels.data() + 8, c.bottom, 6), 0) << int(c.codes[1]);
    }
}

TEST_F(FileDecoderTest, CmykAndYcckJpegsLoadAsTheirRgbRendering)
{
    const int w = 45, h = 30; // partial blocks at the right and bottom
    Bytes ink[4];
    for (Bytes& p : ink) {
        p.resize(size_t(w) * h);
    }
    Bytes rendering(size_t(w) * h * 3); // BGR
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            ink[0][i] = uint8_t(128 + 100 * std::sin(x * 0.11));
            ink[1][i] = uint8_t(128 + 100 * std::cos(y * 0.13));
            ink[2][i] = uint8_t(3 * x + 2 * y);
            ink[3][i] = uint8_t(x + y < 40 ? 20 : 90);
            const int k = 255 - ink[3][i];
            rendering[3 * i] = uint8_t(std::lround((255 - ink[2][i]) * k / 255.0));
            rendering[3 * i + 1] = uint8_t(std::lround((255 - ink[1][i]) * k / 255.0));
            rendering[3 * i + 2] = uint8_t(std::lround((255 - ink[0][i]) * k / 255.0));
        }
    }
    Bytes inverted[4];
    Bytes interleaved(size_t(w) * h * 4);
    for (int c = 0; c < 4; ++c) {
        inverted[c] = ink[c];
        for (size_t i = 0; i < inverted[c].size(); ++i) {
            inverted[c][i] = uint8_t(255 - ink[c][i]);
            interleaved[4 * i + c] = inverted[c][i];
        }
    }
    struct CASE {
        const char* name;
        Bytes file;
        int colourSpace;
    };
    const CASE cases[] = {
        {"plain.jpg", testfiles::CmykJpeg(ink, w, h, false), TJCS_CMYK},
        {"adobe.jpg", testfiles::CmykJpeg(inverted, w, h, true), TJCS_CMYK},
        {"ycck.jpg", testfiles::YcckJpeg(interleaved, w, h), TJCS_YCCK},
    };
    for (const CASE& c : cases) {
        ASSERT_EQ(JpegColourSpace(c.file), c.colourSpace) << c.name;
        image::DECODED_IMAGE out;
        ASSERT_TRUE(Decode(c.file, out)) << c.name;
        ASSERT_EQ(out.nBitCount, 24u);
        ASSERT_EQ(out.nWidth, w);
        ASSERT_EQ(out.nHeight, h);
        const DIFF d = Compare(out.pixels.data(), image::StrideOf(w, 24), rendering.data(), w * 3, w, h, 3);
        EXPECT_LT(d.mean, 1.5) << c.name;
        EXPECT_LE(d.max, 12) << c.name;

        CAccImage img;
        IMAGE_INFO info{};
        ASSERT_TRUE(img.LoadImageFile(Write(c.name, c.file), &info)) << c.name;
        EXPECT_EQ(info.nBitCount, 24u);
        EXPECT_EQ(std::memcmp(img.LockPixels().Pixels(), out.pixels.data(), out.pixels.size()), 0);
    }
    // The Adobe segment alone decides inversion: plain values marked as
    // Adobe's come out as a negative.
    image::DECODED_IMAGE out;
    ASSERT_TRUE(Decode(testfiles::CmykJpeg(ink, w, h, true), out));
    EXPECT_GT(Compare(out.pixels.data(), image::StrideOf(w, 24), rendering.data(), w * 3, w, h, 3).mean, 40.0);
}
