// A small reader of the AVI files the simulated camera writes: it walks every
// RIFF list to the end of the file and collects the header counts, the frame
// chunks, the 'idx1' entries, the 'indx' super index and each 'ix00' index,
// so tests can check that all of them agree.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct AVI_CHUNK {
    uint64_t nPos; // of the chunk header
    uint32_t nSize;
};

struct AVI_STD_INDEX {
    uint64_t nPos; // of the 'ix00' chunk header
    uint64_t nBase;
    std::vector<AVI_CHUNK> entries; // nPos: data offset from nBase
};

struct AVI_SUPER_ENTRY {
    uint64_t nPos;
    uint32_t nSize;
    uint32_t nDuration;
};

struct AVI_PARSED {
    std::string error; // empty when the file walked to its end
    uint64_t nFileSize = 0;
    std::vector<std::string> riffTypes;
    std::vector<uint64_t> riffSizes; // including the 8 header bytes
    uint32_t nUsPerFrame = 0, nAvihFrames = 0, nWidth = 0, nHeight = 0;
    uint32_t nScale = 0, nRate = 0, nStreamLength = 0;
    uint32_t nDmlhFrames = 0;
    bool bHasDmlh = false;
    uint64_t nFirstMovi = 0; // of the first 'movi' type
    std::vector<AVI_CHUNK> frames;
    std::vector<size_t> framesPerRiff;
    std::vector<AVI_CHUNK> idx1; // nPos: offset from the first 'movi'
    std::vector<AVI_SUPER_ENTRY> superIndex;
    std::vector<AVI_STD_INDEX> stdIndexes;
};

class CAviReader {
public:
    explicit CAviReader(const std::string& path) { m_fp = std::fopen(path.c_str(), "rb"); }
    ~CAviReader()
    {
        if (m_fp != nullptr) {
            std::fclose(m_fp);
        }
    }
    CAviReader(const CAviReader&) = delete;
    CAviReader& operator=(const CAviReader&) = delete;

    AVI_PARSED Parse()
    {
        AVI_PARSED r;
        if (m_fp == nullptr) {
            r.error = "cannot open";
            return r;
        }
        fseeko(m_fp, 0, SEEK_END);
        r.nFileSize = uint64_t(ftello(m_fp));
        uint64_t pos = 0;
        while (pos < r.nFileSize && r.error.empty()) {
            if (Tag(pos) != "RIFF") {
                r.error = "no RIFF at " + std::to_string(pos);
                break;
            }
            const uint64_t end = pos + 8 + U32(pos + 4);
            if (end > r.nFileSize) {
                r.error = "RIFF past the end";
                break;
            }
            r.riffTypes.push_back(Tag(pos + 8));
            r.riffSizes.push_back(end - pos);
            r.framesPerRiff.push_back(0);
            Walk(r, pos + 12, end);
            pos = end;
        }
        return r;
    }

    // The bytes of the file from nPos.
    std::vector<uint8_t> Bytes(uint64_t nPos, size_t n)
    {
        std::vector<uint8_t> b(n);
        fseeko(m_fp, off_t(nPos), SEEK_SET);
        b.resize(std::fread(b.data(), 1, n, m_fp));
        return b;
    }

private:
    uint32_t U32(uint64_t nPos)
    {
        const std::vector<uint8_t> b = Bytes(nPos, 4);
        return b.size() < 4 ? 0 : uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
    uint64_t U64(uint64_t nPos) { return uint64_t(U32(nPos)) | uint64_t(U32(nPos + 4)) << 32; }
    std::string Tag(uint64_t nPos)
    {
        const std::vector<uint8_t> b = Bytes(nPos, 4);
        return std::string(b.begin(), b.end());
    }

    // The chunks and lists between nPos and nEnd.
    void Walk(AVI_PARSED& r, uint64_t nPos, uint64_t nEnd)
    {
        while (nPos + 8 <= nEnd && r.error.empty()) {
            const std::string id = Tag(nPos);
            const uint32_t size = U32(nPos + 4);
            const uint64_t next = nPos + 8 + size + (size & 1);
            if (next > nEnd) {
                r.error = id + " past its list at " + std::to_string(nPos);
                return;
            }
            if (id == "LIST") {
                if (Tag(nPos + 8) == "movi" && r.nFirstMovi == 0) {
                    r.nFirstMovi = nPos + 8;
                }
                Walk(r, nPos + 12, nPos + 8 + size);
            } else if (id == "avih") {
                r.nUsPerFrame = U32(nPos + 8);
                r.nAvihFrames = U32(nPos + 8 + 16);
                r.nWidth = U32(nPos + 8 + 32);
                r.nHeight = U32(nPos + 8 + 36);
            } else if (id == "strh") {
                r.nScale = U32(nPos + 8 + 20);
                r.nRate = U32(nPos + 8 + 24);
                r.nStreamLength = U32(nPos + 8 + 32);
            } else if (id == "dmlh") {
                r.bHasDmlh = true;
                r.nDmlhFrames = U32(nPos + 8);
            } else if (id == "00dc") {
                r.frames.push_back(AVI_CHUNK{nPos, size});
                ++r.framesPerRiff.back();
            } else if (id == "idx1") {
                for (uint32_t i = 0; i + 16 <= size; i += 16) {
                    r.idx1.push_back(AVI_CHUNK{U32(nPos + 8 + i + 8), U32(nPos + 8 + i + 12)});
                }
            } else if (id == "indx") {
                const uint32_t n = U32(nPos + 8 + 4);
                for (uint32_t i = 0; i < n; ++i) {
                    const uint64_t e = nPos + 8 + 24 + uint64_t(i) * 16;
                    r.superIndex.push_back(AVI_SUPER_ENTRY{U64(e), U32(e + 8), U32(e + 12)});
                }
            } else if (id == "ix00") {
                AVI_STD_INDEX ix{nPos, U64(nPos + 8 + 12), {}};
                const uint32_t n = U32(nPos + 8 + 4);
                for (uint32_t i = 0; i < n; ++i) {
                    const uint64_t e = nPos + 8 + 24 + uint64_t(i) * 8;
                    ix.entries.push_back(AVI_CHUNK{U32(e), U32(e + 4)});
                }
                r.stdIndexes.push_back(ix);
            }
            nPos = next;
        }
    }

    FILE* m_fp = nullptr;
};
