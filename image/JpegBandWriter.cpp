#include "image/JpegBandWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <cstdio> // jpeglib.h wants FILE declared
#include <vector>

#include <jpeglib.h>
#include <turbojpeg.h>

namespace image {

namespace {

constexpr size_t kFirstCapacity = size_t(1) << 20;

int32_t Pad16(int32_t n)
{
    return (n + 15) / 16 * 16;
}

} // namespace

bool JPEG_YUV420::Resize(int32_t nWidth, int32_t nHeight)
{
    if (nWidth <= 0 || nHeight <= 0 || nWidth > JPEG_MAX_DIMENSION || nHeight > JPEG_MAX_DIMENSION) {
        return false;
    }
    nWidth16 = Pad16(nWidth);
    nHeight16 = Pad16(nHeight);
    try {
        y.resize(size_t(nWidth16) * nHeight16);
        cb.resize(y.size() / 4);
        cr.resize(y.size() / 4);
    } catch (...) {
        nWidth16 = nHeight16 = 0;
        return false;
    }
    return true;
}

void JPEG_YUV420::PadBottom(int32_t nHeight)
{
    if (nHeight <= 0 || nHeight > nHeight16) {
        return;
    }
    const size_t w = size_t(nWidth16), cw = w / 2;
    for (int32_t r = nHeight; r < nHeight16; ++r) {
        std::memcpy(y.data() + r * w, y.data() + (nHeight - 1) * w, w);
    }
    const int32_t nChroma = (nHeight + 1) / 2;
    for (int32_t r = nChroma; r < nHeight16 / 2; ++r) {
        std::memcpy(cb.data() + r * cw, cb.data() + (nChroma - 1) * cw, cw);
        std::memcpy(cr.data() + r * cw, cr.data() + (nChroma - 1) * cw, cw);
    }
}

CYuvConverter::CYuvConverter() = default;

CYuvConverter::~CYuvConverter()
{
    if (m_hHandle != nullptr) {
        tjDestroy(m_hHandle);
    }
}

bool CYuvConverter::Convert(const uint8_t* pBgrx, int32_t nStride, JPEG_YUV420& planes, int32_t nFrom, int32_t nRows)
{
    if (pBgrx == nullptr || nRows <= 0 || nFrom < 0 || nFrom % 2 != 0 || nRows % 2 != 0 ||
        nFrom + nRows > planes.nHeight16) {
        return false;
    }
    if (m_hHandle == nullptr && (m_hHandle = tjInitCompress()) == nullptr) {
        return false;
    }
    const int32_t w = planes.nWidth16;
    unsigned char* dst[3] = {planes.y.data() + size_t(nFrom) * w, planes.cb.data() + size_t(nFrom / 2) * (w / 2),
                             planes.cr.data() + size_t(nFrom / 2) * (w / 2)};
    int strides[3] = {w, w / 2, w / 2};
    return tjEncodeYUVPlanes(m_hHandle, pBgrx, w, nStride, nRows, TJPF_BGRX, dst, strides, TJSAMP_420, 0) == 0;
}

struct CJpegBandWriter::STATE {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    jpeg_destination_mgr dest{};
    std::jmp_buf jump{};
    std::vector<uint8_t> out;
    size_t nUsed = 0;
    int32_t nRowsLeft = 0;
    bool bActive = false;
    bool bFailed = false;
    bool bRaw = false; // planes, not pixel rows
    int nQuality = 75;

    // The library reports a fault by calling this; it never returns to it.
    static void ErrorExit(j_common_ptr cinfo)
    {
        std::longjmp(static_cast<STATE*>(cinfo->client_data)->jump, 1);
    }
    static void OutputMessage(j_common_ptr) {}

    // No exception may cross the library's frames: a failed growth is
    // reported as the library's own fault.
    static bool Grow(STATE& s, size_t n)
    {
        try {
            s.out.resize(n);
            return true;
        } catch (...) {
            return false;
        }
    }

    // The destination is our vector, grown by doubling.
    static void InitDestination(j_compress_ptr cinfo)
    {
        STATE& s = *static_cast<STATE*>(cinfo->client_data);
        if (s.out.size() < kFirstCapacity && !Grow(s, kFirstCapacity)) {
            ErrorExit(reinterpret_cast<j_common_ptr>(cinfo));
        }
        s.nUsed = 0;
        s.dest.next_output_byte = s.out.data();
        s.dest.free_in_buffer = s.out.size();
    }
    static boolean EmptyOutputBuffer(j_compress_ptr cinfo)
    {
        // Called with the whole buffer full, whatever free_in_buffer says.
        STATE& s = *static_cast<STATE*>(cinfo->client_data);
        const size_t full = s.out.size();
        if (!Grow(s, full * 2)) {
            ErrorExit(reinterpret_cast<j_common_ptr>(cinfo));
        }
        s.dest.next_output_byte = s.out.data() + full;
        s.dest.free_in_buffer = s.out.size() - full;
        return TRUE;
    }
    static void TermDestination(j_compress_ptr cinfo)
    {
        STATE& s = *static_cast<STATE*>(cinfo->client_data);
        s.nUsed = s.out.size() - s.dest.free_in_buffer;
    }
};

CJpegBandWriter::CJpegBandWriter() : m_pState(std::make_unique<STATE>())
{
    STATE& s = *m_pState;
    s.cinfo.err = jpeg_std_error(&s.err);
    s.err.error_exit = &STATE::ErrorExit;
    s.err.output_message = &STATE::OutputMessage;
    s.cinfo.client_data = &s;
    if (setjmp(s.jump) != 0) {
        s.bFailed = true; // out of memory for the library's own state
        return;
    }
    jpeg_create_compress(&s.cinfo);
    s.cinfo.client_data = &s; // jpeg_create_compress clears the struct
    s.dest.init_destination = &STATE::InitDestination;
    s.dest.empty_output_buffer = &STATE::EmptyOutputBuffer;
    s.dest.term_destination = &STATE::TermDestination;
    s.cinfo.dest = &s.dest;
}

CJpegBandWriter::~CJpegBandWriter()
{
    jpeg_destroy_compress(&m_pState->cinfo);
}

bool CJpegBandWriter::Begin(int32_t nWidth, int32_t nHeight, uint32_t nBitCount, int nQuality)
{
    return Start(nWidth, nHeight, nBitCount, nQuality, false);
}

bool CJpegBandWriter::BeginYuv(int32_t nWidth, int32_t nHeight, int nQuality)
{
    return Start(nWidth, nHeight, 32, nQuality, true);
}

bool CJpegBandWriter::Start(int32_t nWidth, int32_t nHeight, uint32_t nBitCount, int nQuality, bool bRaw)
{
    STATE& s = *m_pState;
    if (s.bActive) {
        Abort();
    }
    if (s.cinfo.mem == nullptr || nWidth <= 0 || nHeight <= 0 || nWidth > JPEG_MAX_DIMENSION ||
        nHeight > JPEG_MAX_DIMENSION || (nBitCount != 24 && nBitCount != 32)) {
        return false;
    }
    // Everything the library calls below need is in the state first: no
    // local lives across the jump back.
    s.cinfo.image_width = JDIMENSION(nWidth);
    s.cinfo.image_height = JDIMENSION(nHeight);
    s.cinfo.input_components = nBitCount == 24 ? 3 : 4;
    s.cinfo.in_color_space = nBitCount == 24 ? JCS_EXT_BGR : JCS_EXT_BGRX;
    s.nQuality = nQuality < 1 ? 1 : (nQuality > 100 ? 100 : nQuality);
    s.bRaw = bRaw;
    s.nRowsLeft = bRaw ? Pad16(nHeight) : nHeight;
    if (setjmp(s.jump) != 0) {
        jpeg_abort_compress(&s.cinfo);
        s.bActive = false;
        return false;
    }
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, s.nQuality, TRUE);
    // 4:2:0, as the whole-picture encoder writes it.
    s.cinfo.comp_info[0].h_samp_factor = 2;
    s.cinfo.comp_info[0].v_samp_factor = 2;
    s.cinfo.comp_info[1].h_samp_factor = s.cinfo.comp_info[1].v_samp_factor = 1;
    s.cinfo.comp_info[2].h_samp_factor = s.cinfo.comp_info[2].v_samp_factor = 1;
    // The fast integer transform, as the whole-picture encoder uses: the
    // same bytes whichever of the two writes a picture.
    s.cinfo.dct_method = JDCT_IFAST;
    s.cinfo.raw_data_in = s.bRaw ? TRUE : FALSE;
    jpeg_start_compress(&s.cinfo, TRUE);
    s.bActive = true;
    s.bFailed = false;
    return true;
}

bool CJpegBandWriter::WriteRows(const uint8_t* pRows, int32_t nStride, int32_t nRows)
{
    STATE& s = *m_pState;
    if (!s.bActive || s.bFailed || s.bRaw || pRows == nullptr || nRows < 0 || nRows > s.nRowsLeft) {
        s.bFailed = true;
        return false;
    }
    if (setjmp(s.jump) != 0) {
        s.bFailed = true;
        return false;
    }
    // The library reads rows through an array of row pointers, a few at a time.
    JSAMPROW rows[16];
    int32_t done = 0;
    while (done < nRows) {
        const int32_t n = std::min<int32_t>(16, nRows - done);
        for (int32_t i = 0; i < n; ++i) {
            rows[i] = const_cast<JSAMPROW>(pRows + int64_t(done + i) * nStride);
        }
        const JDIMENSION written = jpeg_write_scanlines(&s.cinfo, rows, JDIMENSION(n));
        if (written == 0) {
            s.bFailed = true; // a destination that never suspends: cannot happen
            return false;
        }
        done += int32_t(written);
    }
    s.nRowsLeft -= nRows;
    return true;
}

bool CJpegBandWriter::WriteYuvRows(const JPEG_YUV420& planes, int32_t nFrom, int32_t nRows)
{
    STATE& s = *m_pState;
    const int32_t nPadded = Pad16(int32_t(s.cinfo.image_height));
    if (!s.bActive || s.bFailed || !s.bRaw || nRows < 0 || nRows % 16 != 0 || nFrom != nPadded - s.nRowsLeft ||
        nRows > s.nRowsLeft || planes.nHeight16 < nPadded || planes.nWidth16 < Pad16(int32_t(s.cinfo.image_width))) {
        s.bFailed = true;
        return false;
    }
    if (setjmp(s.jump) != 0) {
        s.bFailed = true;
        return false;
    }
    // One 16-row group a call: 16 luma rows, 8 of each chroma plane.
    const int32_t w = planes.nWidth16;
    JSAMPROW y[16], cb[8], cr[8];
    JSAMPARRAY group[3] = {y, cb, cr};
    for (int32_t at = nFrom; at < nFrom + nRows; at += 16) {
        for (int32_t i = 0; i < 16; ++i) {
            y[i] = const_cast<JSAMPROW>(planes.y.data() + size_t(at + i) * w);
        }
        for (int32_t i = 0; i < 8; ++i) {
            cb[i] = const_cast<JSAMPROW>(planes.cb.data() + size_t(at / 2 + i) * (w / 2));
            cr[i] = const_cast<JSAMPROW>(planes.cr.data() + size_t(at / 2 + i) * (w / 2));
        }
        if (jpeg_write_raw_data(&s.cinfo, group, 16) == 0) {
            s.bFailed = true;
            return false;
        }
    }
    s.nRowsLeft -= nRows;
    return true;
}

bool CJpegBandWriter::Finish(const uint8_t*& pData, size_t& nSize)
{
    STATE& s = *m_pState;
    if (!s.bActive || s.bFailed || s.nRowsLeft != 0) {
        Abort();
        return false;
    }
    if (setjmp(s.jump) != 0) {
        Abort();
        return false;
    }
    jpeg_finish_compress(&s.cinfo);
    s.bActive = false;
    pData = s.out.data();
    nSize = s.nUsed;
    return true;
}

void CJpegBandWriter::Abort()
{
    STATE& s = *m_pState;
    if (s.cinfo.mem != nullptr) {
        jpeg_abort_compress(&s.cinfo);
    }
    s.bActive = false;
    s.bFailed = false;
}

} // namespace image
