#include "image/ImageFileMakers.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace testfiles {

namespace {

void Add(std::vector<uint8_t>& v, std::initializer_list<int> bytes)
{
    for (int b : bytes) {
        v.push_back(uint8_t(b));
    }
}
void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i) {
        v[at + i] = uint8_t(x >> (8 * i));
    }
}

// File header, info header and grey-ramp palette of an 8-bit BMP.
std::vector<uint8_t> Bmp8Headers(int w, int h, uint32_t compression, size_t nData)
{
    std::vector<uint8_t> v(14 + 40 + 1024, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, uint32_t(v.size() + nData));
    Put32(v, 10, uint32_t(v.size()));
    Put32(v, 14, 40);
    Put32(v, 18, uint32_t(w));
    Put32(v, 22, uint32_t(h));
    Put16(v, 26, 1);
    Put16(v, 28, 8);
    Put32(v, 30, compression);
    Put32(v, 34, uint32_t(nData));
    Put32(v, 38, 3780);
    Put32(v, 42, 3780);
    Put32(v, 46, 256);
    for (int i = 0; i < 256; ++i) {
        v[54 + 4 * i] = v[55 + 4 * i] = v[56 + 4 * i] = uint8_t(i);
    }
    return v;
}

struct JPEG_PARTS {
    std::vector<uint8_t> dqt; // one table's payload: precision/id byte and 64 values
    std::vector<std::vector<uint8_t>> dht; // whole DHT segments, markers included
    std::vector<uint8_t> scan; // entropy-coded data of the one scan
};

// Splits a grey baseline JPEG into its quantisation table, Huffman tables
// and scan data; false when it is not laid out as expected.
bool SplitGreyJpeg(const std::vector<uint8_t>& j, JPEG_PARTS& parts)
{
    size_t at = 2;
    while (at + 4 <= j.size()) {
        if (j[at] != 0xff) {
            return false;
        }
        const uint8_t marker = j[at + 1];
        const size_t len = (size_t(j[at + 2]) << 8) | j[at + 3];
        const auto seg = j.begin() + std::ptrdiff_t(at);
        if (marker == 0xdb) {
            if (len != 2 + 65) {
                return false; // one 8-bit table expected
            }
            parts.dqt.assign(seg + 4, seg + std::ptrdiff_t(2 + len));
        } else if (marker == 0xc4) {
            parts.dht.emplace_back(seg, seg + std::ptrdiff_t(2 + len));
        } else if (marker == 0xda) {
            parts.scan.assign(seg + std::ptrdiff_t(2 + len), j.end() - 2); // up to the end-of-image marker
            return true;
        }
        at += 2 + len;
    }
    return false;
}

std::vector<uint8_t> Compress(const uint8_t* px, int w, int h, int pixelFormat, int subsamp)
{
    tjhandle tj = tjInitCompress();
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    const int pitch = w * tjPixelSize[pixelFormat];
    const int rc = tjCompress2(tj, px, w, pitch, h, pixelFormat, &buf, &size, subsamp, 100, 0);
    std::vector<uint8_t> out;
    if (rc == 0) {
        out.assign(buf, buf + size);
    }
    tjFree(buf);
    tjDestroy(tj);
    return out;
}

} // namespace

std::vector<uint8_t> Rle8Codes(const std::vector<uint8_t>& idx, int w, int h)
{
    // fy counts file rows from the bottom.
    auto at = [&](int x, int fy) { return idx[size_t(h - 1 - fy) * w + x]; };
    auto zeroRow = [&](int fy) {
        for (int x = 0; x < w; ++x) {
            if (at(x, fy) != 0) {
                return false;
            }
        }
        return true;
    };
    auto runAt = [&](int x, int fy) {
        int r = 1;
        while (x + r < w && r < 255 && at(x + r, fy) == at(x, fy)) {
            ++r;
        }
        return r;
    };
    auto zerosAt = [&](int x, int fy) {
        int z = 0;
        while (x + z < w && at(x + z, fy) == 0) {
            ++z;
        }
        return z;
    };
    std::vector<uint8_t> out;
    for (int fy = 0; fy < h;) {
        int k = 0;
        while (fy + k < h && k < 255 && zeroRow(fy + k)) {
            ++k;
        }
        if (fy + k == h) {
            break; // the rest is zeros: end of bitmap
        }
        if (k >= 2) {
            Add(out, {0, 2, 0, k});
            fy += k;
            continue;
        }
        for (int x = 0; x < w;) {
            const int z = zerosAt(x, fy);
            if (x + z == w) {
                break; // the row ends in zeros: end of line
            }
            if (z >= 4) {
                const int d = std::min(z, 255);
                Add(out, {0, 2, d, 0});
                x += d;
                continue;
            }
            const int r = runAt(x, fy);
            if (r >= 3) {
                Add(out, {r, at(x, fy)});
                x += r;
                continue;
            }
            int n = 1;
            while (x + n < w && n < 255 && runAt(x + n, fy) < 3 && zerosAt(x + n, fy) < 4) {
                ++n;
            }
            if (n < 3) {
                for (int i = 0; i < n; ++i) {
                    Add(out, {1, at(x + i, fy)});
                }
            } else {
                Add(out, {0, n});
                for (int i = 0; i < n; ++i) {
                    out.push_back(at(x + i, fy));
                }
                if (n % 2 != 0) {
                    out.push_back(0);
                }
            }
            x += n;
        }
        if (++fy < h) {
            Add(out, {0, 0});
        }
    }
    Add(out, {0, 1});
    return out;
}

std::vector<uint8_t> PaddedRowRle8Codes(const std::vector<uint8_t>& idx, int w, int h)
{
    const int padded = (w + 3) & ~3;
    std::vector<uint8_t> out;
    for (int fy = 0; fy < h; ++fy) {
        const uint8_t* row = idx.data() + size_t(h - 1 - fy) * w;
        auto at = [&](int x) { return x < w ? row[x] : uint8_t(0); };
        for (int x = 0; x < padded;) {
            int r = 1;
            while (x + r < padded && r < 255 && at(x + r) == at(x)) {
                ++r;
            }
            Add(out, {r, at(x)});
            x += r;
        }
        Add(out, {0, 0});
    }
    Add(out, {0, 1});
    return out;
}

std::vector<uint8_t> Rle8Bmp(const std::vector<uint8_t>& codes, int w, int h)
{
    std::vector<uint8_t> v = Bmp8Headers(w, h, 1, codes.size());
    v.insert(v.end(), codes.begin(), codes.end());
    return v;
}

std::vector<uint8_t> PlainBmp8(const std::vector<uint8_t>& idx, int w, int h)
{
    const size_t stride = (size_t(w) + 3) & ~size_t(3);
    std::vector<uint8_t> v = Bmp8Headers(w, h, 0, stride * h);
    const size_t off = v.size();
    v.resize(off + stride * h, 0);
    for (int y = 0; y < h; ++y) {
        std::memcpy(v.data() + off + size_t(h - 1 - y) * stride, idx.data() + size_t(y) * w, size_t(w));
    }
    return v;
}

void SetBmpColour(std::vector<uint8_t>& bmp, int i, uint8_t b, uint8_t g, uint8_t r)
{
    bmp[54 + 4 * i] = b;
    bmp[55 + 4 * i] = g;
    bmp[56 + 4 * i] = r;
}

std::vector<uint8_t> CmykJpeg(const std::vector<uint8_t> planes[4], int w, int h, bool bAdobe)
{
    JPEG_PARTS parts[4];
    for (int i = 0; i < 4; ++i) {
        if (!SplitGreyJpeg(Compress(planes[i].data(), w, h, TJPF_GRAY, TJSAMP_GRAY), parts[i])) {
            return {};
        }
    }
    std::vector<uint8_t> out;
    Add(out, {0xff, 0xd8});
    if (bAdobe) {
        // "Adobe", version 100, two flag words, transform 0 (none).
        Add(out, {0xff, 0xee, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0});
    }
    for (int i = 0; i < 4; ++i) {
        Add(out, {0xff, 0xdb, 0, 2 + 65, i});
        out.insert(out.end(), parts[i].dqt.begin() + 1, parts[i].dqt.end());
    }
    // Baseline frame of four full-resolution components 1..4, component i with table i.
    Add(out, {0xff, 0xc0, 0, 8 + 3 * 4, 8, h >> 8, h & 0xff, w >> 8, w & 0xff, 4});
    for (int i = 0; i < 4; ++i) {
        Add(out, {i + 1, 0x11, i});
    }
    // One scan per component; a single-component scan codes its blocks in the
    // same order as the grey file did, so its data is reused as it is.
    for (int i = 0; i < 4; ++i) {
        for (const auto& seg : parts[i].dht) {
            out.insert(out.end(), seg.begin(), seg.end());
        }
        Add(out, {0xff, 0xda, 0, 8, 1, i + 1, 0x00, 0, 63, 0});
        out.insert(out.end(), parts[i].scan.begin(), parts[i].scan.end());
    }
    Add(out, {0xff, 0xd9});
    return out;
}

std::vector<uint8_t> YcckJpeg(const std::vector<uint8_t>& cmyk, int w, int h)
{
    return Compress(cmyk.data(), w, h, TJPF_CMYK, TJSAMP_444);
}

} // namespace testfiles
