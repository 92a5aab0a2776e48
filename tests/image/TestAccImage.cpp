#include "image/AccImage.h"
#include "image/ImageCodec.h"
#include "image/ImageFileMakers.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

namespace {

std::vector<uint8_t> Pattern(int w, int h, uint32_t bits)
{
    const int stride = CAccImage::GetStride(w, bits);
    std::vector<uint8_t> v(size_t(stride) * h, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w * int(bits / 8); ++x) {
            v[size_t(y) * stride + x] = uint8_t((x * 7 + y * 13) ^ (x * y));
        }
    }
    return v;
}

bool SamePixels(const CAccImage& a, const std::vector<uint8_t>& expected, int w, int h, uint32_t bits)
{
    if (a.IsEmpty() || a.GetWidth() != w || a.GetHeight() != h || a.GetBitCount() != bits) {
        return false;
    }
    const int stride = a.GetStride();
    for (int y = 0; y < h; ++y) {
        if (std::memcmp(a.LockPixels().Pixels() + size_t(y) * stride, expected.data() + size_t(y) * stride, w * (bits / 8)) !=
            0) {
            return false;
        }
    }
    return true;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& b)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(b);
}

class AccImageTest : public ::testing::Test {
protected:
    QString Path(const QString& n) const { return QDir(tmp.path()).filePath(n); }
    QTemporaryDir tmp;
};

} // namespace

TEST(AccImage, StridesSetImageAndPadding)
{
    EXPECT_EQ(CAccImage::GetStride(10, 24), 32);
    EXPECT_EQ(CAccImage::GetStride(5, 8), 8);
    EXPECT_EQ(CAccImage::GetStride(3, 32), 12);
    CAccImage img;
    EXPECT_TRUE(img.IsEmpty());
    const auto px = Pattern(10, 4, 24);
    ASSERT_TRUE(img.SetImage(px.data(), IMAGE_INFO{24, 10, 4}));
    EXPECT_TRUE(SamePixels(img, px, 10, 4, 24));
    EXPECT_EQ(img.GetBitmapInfo()->bmiHeader.biHeight, -4);
    EXPECT_FALSE(img.SetImage(px.data(), IMAGE_INFO{24, 10, 0}));
    EXPECT_FALSE(img.SetImage(px.data(), IMAGE_INFO{16, 10, 4}));
    EXPECT_FALSE(img.SetImage(nullptr, IMAGE_INFO{24, 10, 4}));
    EXPECT_TRUE(SamePixels(img, px, 10, 4, 24)); // the old picture stays

    // A camera frame of 7 x 3 pixels has rows of 21 bytes: re-padded to 24.
    std::vector<uint8_t> frame(7 * 3 * 3);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = uint8_t(i + 1);
    }
    ASSERT_TRUE(img.SetImage(frame.data(), IMAGE_INFO{24, 7, 3}, 21));
    ASSERT_EQ(img.GetStride(), 24);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(std::memcmp(img.LockPixels().Pixels() + 24 * y, frame.data() + 21 * y, 21), 0);
    }
    EXPECT_FALSE(img.SetImage(frame.data(), IMAGE_INFO{24, 7, 3}, 20)); // rows shorter than a pixel row
    // Grey conversion of the picture itself skips the row padding.
    ASSERT_TRUE(img.ConvertToGrayscale());
    for (int y = 0; y < 3; ++y) {
        const uint8_t* row = img.LockPixels().Pixels() + 24 * y;
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(row[3 * x], row[3 * x + 2]);
        }
        EXPECT_EQ(row[21], 0);
        EXPECT_EQ(row[23], 0);
    }
}

// A reader on another thread sees, through its view, the size and the pixels
// of one and the same picture while the pictures change size under it (run
// under ThreadSanitizer too, which reports any unlocked access).
TEST(AccImage, AViewSeesOnePictureWhileAnotherThreadChangesIt)
{
    struct SHAPE {
        int w, h;
        uint8_t fill;
    };
    const SHAPE shapes[] = {{64, 32, 0x11}, {96, 48, 0x22}};
    std::vector<uint8_t> pixels[2];
    for (int i = 0; i < 2; ++i) {
        pixels[i].assign(size_t(CAccImage::GetStride(shapes[i].w, 24)) * shapes[i].h, shapes[i].fill);
    }
    CAccImage img;
    ASSERT_TRUE(img.SetImage(pixels[0].data(), IMAGE_INFO{24, shapes[0].w, shapes[0].h}));
    std::atomic<bool> bDone{false};
    std::thread writer([&] {
        for (int n = 0; n < 2000; ++n) {
            const SHAPE& s = shapes[n % 2];
            img.SetImage(pixels[n % 2].data(), IMAGE_INFO{24, s.w, s.h});
        }
        bDone = true;
    });
    int nViews = 0, nTorn = 0;
    while (!bDone || nViews == 0) {
        const CAccImage::CPixelView view = img.LockPixels();
        ++nViews;
        const SHAPE& s = view.Width() == shapes[0].w ? shapes[0] : shapes[1];
        const uint8_t* pLast = view.Row(view.Height() - 1);
        if (view.Height() != s.h || pLast == nullptr || pLast[0] != s.fill || pLast[s.w * 3 - 1] != s.fill) {
            ++nTorn;
        }
    }
    writer.join();
    EXPECT_EQ(nTorn, 0) << "of " << nViews << " views";
}

TEST(AccImage, GreyConversionEqualsTheFormulaForEveryColour)
{
    std::vector<uint8_t> buf(256 * 256 * 3);
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                uint8_t* p = buf.data() + 3 * (g * 256 + b);
                p[0] = uint8_t(b);
                p[1] = uint8_t(g);
                p[2] = uint8_t(r);
            }
        }
        // Even r through the vector path; odd r in pieces of 15 pixels, all scalar.
        if (r % 2 == 0) {
            CAccImage::ConvColorToGrayscale24Image(buf.data(), buf.size());
        } else {
            for (size_t at = 0; at < buf.size(); at += 45) {
                CAccImage::ConvColorToGrayscale24Image(buf.data() + at, std::min<size_t>(45, buf.size() - at));
            }
        }
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                const uint8_t* p = buf.data() + 3 * (g * 256 + b);
                const auto expected = uint8_t(std::trunc(0.586611 * g + 0.114478 * b + 0.298912 * r));
                ASSERT_EQ(p[0], expected) << r << "," << g << "," << b;
                ASSERT_EQ(p[1], expected);
                ASSERT_EQ(p[2], expected);
            }
        }
    }
    // The one colour where the doubles land below the exact quotient, through
    // the vector path (16 pixels) and the scalar path (1 pixel).
    std::vector<uint8_t> special(16 * 3);
    for (size_t i = 0; i < special.size(); i += 3) {
        special[i] = 147;
        special[i + 1] = 242;
        special[i + 2] = 81;
    }
    CAccImage::ConvColorToGrayscale24Image(special.data(), special.size());
    CAccImage::ConvColorToGrayscale24Image(special.data() + 45, 3); // already grey: stays
    EXPECT_EQ(special[0], 182);
    EXPECT_EQ(special[44], 182);
    uint8_t one[3] = {147, 242, 81};
    CAccImage::ConvColorToGrayscale24Image(one, 3);
    EXPECT_EQ(one[0], 182);
    uint8_t red[4] = {0, 0, 255, 99};
    CAccImage::ConvColorToGrayscale24Image(red, 4); // a partial pixel at the end is left alone
    EXPECT_EQ(red[0], 76);
    EXPECT_EQ(red[2], 76);
    EXPECT_EQ(red[3], 99);
}

TEST_F(AccImageTest, RoundTripsOfEveryFormatAndDepth)
{
    struct CASE {
        const char* name;
        uint32_t bits;
        bool bExact;
    };
    const CASE cases[] = {{"a.bmp", 8, true},  {"b.bmp", 24, true}, {"c.bmp", 32, true}, {"d.png", 8, true},
                          {"e.png", 24, true}, {"f.png", 32, true}, {"g.tif", 24, true}, {"h.tif", 8, true}};
    for (const CASE& c : cases) {
        const auto px = Pattern(37, 23, c.bits);
        CAccImage img;
        ASSERT_TRUE(img.SetImage(px.data(), IMAGE_INFO{c.bits, 37, 23}));
        const QString path = Path(QString::fromLatin1(c.name));
        ASSERT_TRUE(img.SaveImageFile(path, 80)) << c.name;
        CAccImage back;
        IMAGE_INFO info{};
        ASSERT_TRUE(back.LoadImageFile(path, &info)) << c.name;
        EXPECT_EQ(info.nWidth, 37);
        EXPECT_EQ(info.nHeight, 23);
        if (c.bits == 32) {
            // The fourth byte is not kept by every format; compare colours.
            ASSERT_EQ(back.GetWidth(), 37);
            for (int y = 0; y < 23; ++y) {
                for (int x = 0; x < 37; ++x) {
                    const uint8_t* a = px.data() + y * img.GetStride() + 4 * x;
                    const uint8_t* b = back.LockPixels().Pixels() + y * back.GetStride() + x * (back.GetBitCount() / 8);
                    ASSERT_EQ(std::memcmp(a, b, 3), 0) << c.name << " " << x << "," << y;
                }
            }
        } else {
            EXPECT_TRUE(SamePixels(back, px, 37, 23, c.bits)) << c.name;
        }
    }
    // The 8-bit BMP carries the grey ramp, not a zeroed (black) table.
    const QByteArray bmp8 = ReadAll(Path("a.bmp"));
    EXPECT_EQ(uchar(bmp8[54 + 4 * 200]), 200);
    EXPECT_EQ(QImage(Path("a.bmp")).pixel(5, 5), qRgb(qGray(QImage(Path("d.png")).pixel(5, 5)),
                                                       qGray(QImage(Path("d.png")).pixel(5, 5)),
                                                       qGray(QImage(Path("d.png")).pixel(5, 5))));
}

TEST_F(AccImageTest, FormatByTheLastThreeCharactersAndJpegQuality)
{
    std::vector<uint8_t> px(size_t(CAccImage::GetStride(200, 24)) * 150);
    std::mt19937 rng(7);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 600; ++x) {
            px[size_t(y) * CAccImage::GetStride(200, 24) + x] = uint8_t(128 + 60 * std::sin(x * 0.05 + y * 0.03) + rng() % 16);
        }
    }
    CAccImage img;
    ASSERT_TRUE(img.SetImage(px.data(), IMAGE_INFO{24, 200, 150}));
    for (const char* n : {"x.JPG", "x.jpeg", "x.bmp", "x.tiff"}) {
        ASSERT_TRUE(img.SaveImageFile(Path(n), 80));
        EXPECT_TRUE(ReadAll(Path(n)).startsWith("BM")) << n;
    }
    ASSERT_TRUE(img.SaveImageFile(Path("x.tif"), 80));
    EXPECT_TRUE(ReadAll(Path("x.tif")).startsWith("II") || ReadAll(Path("x.tif")).startsWith("MM"));
    ASSERT_TRUE(img.SaveImageFile(Path("x.png"), 80));
    EXPECT_TRUE(ReadAll(Path("x.png")).startsWith("\x89PNG"));
    ASSERT_TRUE(img.SaveImageFile(Path("q30.jpg"), 30));
    ASSERT_TRUE(img.SaveImageFile(Path("q95.jpg"), 95));
    EXPECT_TRUE(ReadAll(Path("q30.jpg")).startsWith("\xff\xd8"));
    EXPECT_LT(ReadAll(Path("q30.jpg")).size(), ReadAll(Path("q95.jpg")).size());
    CAccImage back;
    ASSERT_TRUE(back.LoadImageFile(Path("q95.jpg")));
    ASSERT_EQ(back.GetBitCount(), 24u);
    double err = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 600; ++x) {
            const size_t i = size_t(y) * back.GetStride() + x;
            err += std::abs(int(back.LockPixels().Pixels()[i]) - int(px[i]));
        }
    }
    EXPECT_LT(err / (600 * 150), 6.0);
}

TEST_F(AccImageTest, RegionSavesAndFailedWrites)
{
    const auto px = Pattern(40, 30, 24);
    CAccImage img;
    EXPECT_FALSE(img.SaveImageFile(Path("empty.bmp"), 80)); // no picture yet
    ASSERT_TRUE(img.SetImage(px.data(), IMAGE_INFO{24, 40, 30}));
    ASSERT_TRUE(img.SaveImageFile(Path("r.bmp"), RECT{5, 6, 15, 26}, 80));
    CAccImage r;
    ASSERT_TRUE(r.LoadImageFile(Path("r.bmp")));
    ASSERT_EQ(r.GetWidth(), 10);
    ASSERT_EQ(r.GetHeight(), 20);
    EXPECT_EQ(std::memcmp(r.LockPixels().Pixels() + r.GetStride() * 3, px.data() + img.GetStride() * 9 + 15, 30), 0);
    ASSERT_TRUE(img.SaveImageFile(Path("whole.bmp"), RECT{0, 0, 0, 0}, 80));
    ASSERT_TRUE(r.LoadImageFile(Path("whole.bmp")));
    EXPECT_EQ(r.GetWidth(), 40);
    EXPECT_FALSE(img.SaveImageFile(Path("wide.bmp"), RECT{0, 0, 41, 10}, 80));
    EXPECT_FALSE(QFile::exists(Path("wide.bmp")));
    // Partly outside: only the part on the picture is written.
    ASSERT_TRUE(img.SaveImageFile(Path("clip.bmp"), RECT{30, 20, 50, 35}, 80));
    ASSERT_TRUE(r.LoadImageFile(Path("clip.bmp")));
    EXPECT_EQ(r.GetWidth(), 10);
    EXPECT_EQ(r.GetHeight(), 10);
    // From a prepared copy of the picture.
    QImage dib;
    ASSERT_TRUE(img.CopyToDib(dib));
    dib.setPixel(0, 0, qRgb(1, 2, 3));
    ASSERT_TRUE(img.SaveImageFile(Path("dib.png"), dib, RECT{0, 0, 0, 0}, 80));
    EXPECT_EQ(QImage(Path("dib.png")).pixel(0, 0), qRgb(1, 2, 3));

    EXPECT_FALSE(img.SaveImageFile(Path("no/such/dir/x.jpg"), 80));
    EXPECT_FALSE(img.SaveImageFile(QString(), 80));
    // A failed write leaves the earlier file whole and no temporary behind.
    ASSERT_TRUE(QDir().mkpath(Path("dir.bmp")));
    EXPECT_FALSE(img.SaveImageFile(Path("dir.bmp"), 80));
    EXPECT_EQ(QDir(tmp.path()).entryList({"*.tmp*"}, QDir::Files).size(), 0);
}

TEST_F(AccImageTest, BmpRowOrdersPalettesAndHostileHeaders)
{
    // Top-down and bottom-up files of one picture give the same buffer.
    const auto px = Pattern(13, 9, 24);
    auto bottomUp = image::EncodeBmp(px.data(), 13, 9, CAccImage::GetStride(13, 24), 24);
    QByteArray bu(reinterpret_cast<const char*>(bottomUp.data()), int(bottomUp.size()));
    QByteArray td = bu;
    const int stride = CAccImage::GetStride(13, 24);
    const int h = -9;
    std::memcpy(td.data() + 22, &h, 4);
    for (int y = 0; y < 9; ++y) {
        std::memcpy(td.data() + 54 + y * stride, px.data() + y * stride, stride);
    }
    WriteAll(Path("bu.bmp"), bu);
    WriteAll(Path("td.bmp"), td);
    CAccImage a, b;
    ASSERT_TRUE(a.LoadImageFile(Path("bu.bmp")));
    ASSERT_TRUE(b.LoadImageFile(Path("td.bmp")));
    EXPECT_TRUE(SamePixels(a, px, 13, 9, 24));
    EXPECT_TRUE(SamePixels(b, px, 13, 9, 24));

    // An 8-bit PNG with a colour palette loads as colour (a BMP's palette: the decoder suite).
    QImage pal(4, 2, QImage::Format_Indexed8);
    pal.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(9, 9, 9)});
    pal.fill(2);
    pal.setPixel(1, 0, 0);
    ASSERT_TRUE(pal.save(Path("pal.png")));
    CAccImage c;
    ASSERT_TRUE(c.LoadImageFile(Path("pal.png")));
    EXPECT_EQ(c.GetBitCount(), 24u);
    EXPECT_EQ(c.LockPixels().Pixels()[0], 255);     // blue of pixel (0, 0)
    EXPECT_EQ(c.LockPixels().Pixels()[3 + 2], 255); // red of pixel (1, 0)
    // 1-bit and 16-bit files, huge and negative sizes, lying offsets.
    QImage mono(16, 16, QImage::Format_Mono);
    mono.fill(1);
    ASSERT_TRUE(mono.save(Path("mono.bmp")));
    ASSERT_TRUE(mono.save(Path("mono.png")));
    auto patch = [&](const char* name, int at, int32_t v) {
        QByteArray x = bu;
        std::memcpy(x.data() + at, &v, 4);
        WriteAll(Path(name), x);
    };
    patch("huge.bmp", 18, 0x7fffffff);
    patch("neg.bmp", 18, -13);
    patch("tall.bmp", 22, 1 << 30);
    patch("offset.bmp", 10, 0x7ffffff0);
    patch("min.bmp", 22, INT32_MIN);
    QByteArray b16 = bu;
    b16[28] = 16;
    WriteAll(Path("b16.bmp"), b16);
    WriteAll(Path("short.bmp"), bu.left(60));
    CAccImage keep;
    ASSERT_TRUE(keep.SetImage(px.data(), IMAGE_INFO{24, 13, 9}));
    for (const char* n : {"mono.bmp", "mono.png", "huge.bmp", "neg.bmp", "tall.bmp", "offset.bmp", "min.bmp",
                          "b16.bmp", "short.bmp", "missing.bmp"}) {
        EXPECT_FALSE(keep.LoadImageFile(Path(n))) << n;
        EXPECT_TRUE(SamePixels(keep, px, 13, 9, 24)) << n; // a failed decode keeps the picture
    }
}

TEST_F(AccImageTest, MutatedAndTruncatedFilesNeverCrash)
{
    const auto px = Pattern(48, 32, 24);
    CAccImage img;
    ASSERT_TRUE(img.SetImage(px.data(), IMAGE_INFO{24, 48, 32}));
    std::vector<std::pair<QString, QByteArray>> seeds;
    for (const char* n : {"m.bmp", "m.jpg", "m.png", "m.tif"}) {
        ASSERT_TRUE(img.SaveImageFile(Path(n), 75));
        seeds.emplace_back(QString::fromLatin1(n), ReadAll(Path(n)));
    }
    // Run-length BMP and four-colour JPEG seeds for the decoders of files
    // other programs write.
    std::vector<uint8_t> idx(48 * 32);
    for (size_t i = 0; i < idx.size(); ++i) {
        idx[i] = (i % 48) < 20 ? uint8_t(i / 48) : ((i % 48) > 40 ? 0 : uint8_t(i * 37));
    }
    std::vector<uint8_t> planes[4];
    std::vector<uint8_t> cmyk(idx.size() * 4);
    for (int c = 0; c < 4; ++c) {
        planes[c].resize(idx.size());
        for (size_t i = 0; i < idx.size(); ++i) {
            planes[c][i] = cmyk[4 * i + c] = uint8_t(40 * c + (i % 48) * 3 + (i / 48));
        }
    }
    auto asBytes = [](const std::vector<uint8_t>& v) {
        return QByteArray(reinterpret_cast<const char*>(v.data()), int(v.size()));
    };
    seeds.emplace_back("m_rle.bmp", asBytes(testfiles::Rle8Bmp(testfiles::Rle8Codes(idx, 48, 32), 48, 32)));
    seeds.emplace_back("m_cmyk.jpg", asBytes(testfiles::CmykJpeg(planes, 48, 32, false)));
    seeds.emplace_back("m_adobe.jpg", asBytes(testfiles::CmykJpeg(planes, 48, 32, true)));
    seeds.emplace_back("m_ycck.jpg", asBytes(testfiles::YcckJpeg(cmyk, 48, 32)));
    std::mt19937 rng(2026);
    int loaded = 0;
    for (size_t s = 0; s < seeds.size(); ++s) {
        const QString& n = seeds[s].first;
        const QByteArray& good = seeds[s].second;
        WriteAll(Path(QStringLiteral("seed_") + n), good);
        CAccImage seed;
        ASSERT_TRUE(seed.LoadImageFile(Path(QStringLiteral("seed_") + n))) << n.toStdString(); // mutations start whole
        const int rounds = s < 4 ? 120 : 400; // the newer decoders get more
        for (int i = 0; i < rounds; ++i) {
            QByteArray bad = good;
            if (i % 4 == 0) {
                bad.truncate(int(rng() % bad.size()));
            } else {
                const int flips = 1 + int(rng() % 8);
                for (int k = 0; k < flips; ++k) {
                    // Most mutations hit the headers, where the lies are.
                    const int at = int(rng() % std::min<int>(bad.size(), k % 2 ? bad.size() : 128));
                    bad[at] = char(rng());
                }
            }
            const QString path = Path(QStringLiteral("mut_") + n);
            WriteAll(path, bad);
            CAccImage probe;
            loaded += probe.LoadImageFile(path) ? 1 : 0;
            // Our own decoders once more on a buffer of exactly the file's
            // size, so the sanitizer sees any read past its end.
            const std::vector<uint8_t> exact(bad.begin(), bad.end());
            image::DECODED_IMAGE dec;
            if (n.endsWith(QLatin1String(".bmp"))) {
                image::DecodeBmp(exact.data(), exact.size(), dec);
            } else if (n.endsWith(QLatin1String(".jpg"))) {
                image::DecodeJpeg(exact.data(), exact.size(), dec);
            }
        }
    }
    EXPECT_GT(loaded, 0); // some mutations leave readable files; none may crash
}
