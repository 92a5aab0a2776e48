// Whether one thread decodes a stream's MJPEG frames fast enough: a running
// average of the decode times against the frame interval. A second decoding
// thread is wanted once the average nears the interval, and let go again
// once the average has stayed well under it for a while, so a slow moment
// does not keep two threads for the rest of the stream.
#pragma once

#include <mutex>

namespace uvccam {

class CDecodeLoad {
public:
    // A new stream; an interval of 0 (unknown) never wants a second thread.
    void Reset(double dIntervalMs);
    // One decode's time, from either decoding thread.
    void Add(double dMs);
    // Whether two decoding threads are wanted, given whether there are two now.
    bool WantsHelper(bool bHelperNow) const;

private:
    mutable std::mutex m_Mutex;
    double m_dIntervalMs = 0.0;
    double m_dAverageMs = 0.0;
    int m_nTimed = 0;
    int m_nCalm = 0; // decodes in a row with the average well under the interval
};

} // namespace uvccam
