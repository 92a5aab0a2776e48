#include "image/JpegBandWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio> // jpeglib.h wants FILE declared
#include <vector>

#include <jpeglib.h>

namespace image {

namespace {

constexpr size_t kFirstCapacity = size_t(1) << 20;

} // namespace

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
    STATE& s = *m_pState;
    if (s.bActive) {
        Abort();
    }
    if (s.cinfo.mem == nullptr || nWidth <= 0 || nHeight <= 0 || nWidth > JPEG_MAX_DIMENSION ||
        nHeight > JPEG_MAX_DIMENSION || (nBitCount != 24 && nBitCount != 32)) {
        return false;
    }
    if (setjmp(s.jump) != 0) {
        jpeg_abort_compress(&s.cinfo);
        s.bActive = false;
        return false;
    }
    s.cinfo.image_width = JDIMENSION(nWidth);
    s.cinfo.image_height = JDIMENSION(nHeight);
    s.cinfo.input_components = nBitCount == 24 ? 3 : 4;
    s.cinfo.in_color_space = nBitCount == 24 ? JCS_EXT_BGR : JCS_EXT_BGRX;
    jpeg_set_defaults(&s.cinfo);
    jpeg_set_quality(&s.cinfo, nQuality < 1 ? 1 : (nQuality > 100 ? 100 : nQuality), TRUE);
    // 4:2:0, as the whole-picture encoder writes it.
    s.cinfo.comp_info[0].h_samp_factor = 2;
    s.cinfo.comp_info[0].v_samp_factor = 2;
    s.cinfo.comp_info[1].h_samp_factor = s.cinfo.comp_info[1].v_samp_factor = 1;
    s.cinfo.comp_info[2].h_samp_factor = s.cinfo.comp_info[2].v_samp_factor = 1;
    // The fast integer transform, as the whole-picture encoder uses: the
    // same bytes whichever of the two writes a picture.
    s.cinfo.dct_method = JDCT_IFAST;
    jpeg_start_compress(&s.cinfo, TRUE);
    s.nRowsLeft = nHeight;
    s.bActive = true;
    s.bFailed = false;
    return true;
}

bool CJpegBandWriter::WriteRows(const uint8_t* pRows, int32_t nStride, int32_t nRows)
{
    STATE& s = *m_pState;
    if (!s.bActive || s.bFailed || pRows == nullptr || nRows < 0 || nRows > s.nRowsLeft) {
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
