// The simulated camera's picture: a world larger than the frame, rendered
// once, from which each frame is cut (at the world's centre for a still
// scene, at a slowly moving offset for a swaying one) with a little sensor
// noise that changes from frame to frame. Known sizes
// make measurements on it checkable: grid pitch 50 px, circles of 100, 200
// and 400 px diameter, a ruler with a tick every 10 px.
#pragma once

#include <cstdint>
#include <vector>

namespace simcam {

constexpr int kWorldMargin = 64;  // the frame moves within this many pixels
constexpr int kGridPitch = 50;
constexpr int kNoiseAmplitude = 2; // each byte moves by at most this much either way

struct PATTERN_LOOK {
    bool bColour = true;
    bool bMirror = false;
    double dGain = 1.0;         // overall gain
    double dChannel[3] = {1.0, 1.0, 1.0}; // blue, green, red gains
    int nBrightness = 0;
};

class CTestPattern {
public:
    void Render(int nWidth, int nHeight, const PATTERN_LOOK& look);
    // Copies the frame at offset (ox, oy) into pDst (width x 3 bytes per row)
    // with the sensor noise of frame nFrame; bFlipV writes the rows bottom first.
    void CutFrame(uint8_t* pDst, int ox, int oy, bool bFlipV, uint32_t nFrame) const;
    // Where a frame of a still scene is cut, and a swaying one's at frame nFrame.
    static void StillOffset(int& ox, int& oy);
    // The first frame of a still scene of nWidth x nHeight, rows top first, 3 bytes a pixel.
    static std::vector<uint8_t> StillFrame(int nWidth, int nHeight, const PATTERN_LOOK& look = PATTERN_LOOK{});
    static void SwayOffset(uint32_t nFrame, int& ox, int& oy);
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    // Seven-segment digits of nValue at (x, y), scale px per segment unit.
    static void DrawNumber(uint8_t* pFrame, int nWidth, int nHeight, int x, int y, uint32_t nValue, int nScale);

private:
    int m_nWidth = 0, m_nHeight = 0;
    int m_nWorldWidth = 0, m_nWorldHeight = 0;
    std::vector<uint8_t> m_World;
    // Noise bytes in [0, 2 x amplitude], read from a moving offset; grey
    // worlds get the same value in all three bytes of a pixel.
    std::vector<uint8_t> m_Noise;
};

} // namespace simcam
