// The AVI files of the simulated camera's recordings, read back by a parser
// of our own: header counts, 'idx1', the OpenDML super index and standard
// indexes all agree with the frames in the file; files pass the RIFF limit
// as 'AVIX' lists; a recording cut short, closed early or ended by a full
// disk is still complete.
#include "camera/AviParse.h"
#include "camera/CameraCtrl.h"
#include "FullDisk.h"
#include "RequiredTool.h"
#include "camera/SimCam.h"
#include "media/AviWriter.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

// Every count and index of the file agrees with the frame chunks found in it,
// and every frame is a whole JPEG.
void ExpectConsistent(CAviReader& reader, const AVI_PARSED& r)
{
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_FALSE(r.riffTypes.empty());
    EXPECT_EQ(r.riffTypes[0], "AVI ");
    for (size_t i = 1; i < r.riffTypes.size(); ++i) {
        EXPECT_EQ(r.riffTypes[i], "AVIX");
    }
    const size_t total = r.frames.size();
    EXPECT_TRUE(r.bHasDmlh);
    EXPECT_EQ(r.nDmlhFrames, total);
    EXPECT_EQ(r.nStreamLength, total);
    EXPECT_EQ(r.nAvihFrames, r.framesPerRiff[0]);
    ASSERT_EQ(r.idx1.size(), r.framesPerRiff[0]);
    for (size_t i = 0; i < r.idx1.size(); ++i) {
        EXPECT_EQ(r.nFirstMovi + r.idx1[i].nPos, r.frames[i].nPos) << i;
        EXPECT_EQ(r.idx1[i].nSize, r.frames[i].nSize) << i;
    }
    ASSERT_EQ(r.superIndex.size(), r.riffTypes.size());
    ASSERT_EQ(r.stdIndexes.size(), r.riffTypes.size());
    size_t f = 0;
    for (size_t k = 0; k < r.superIndex.size(); ++k) {
        const AVI_STD_INDEX& ix = r.stdIndexes[k];
        EXPECT_EQ(r.superIndex[k].nPos, ix.nPos);
        EXPECT_EQ(r.superIndex[k].nSize, 32 + 8 * ix.entries.size());
        EXPECT_EQ(r.superIndex[k].nDuration, ix.entries.size());
        ASSERT_EQ(ix.entries.size(), r.framesPerRiff[k]);
        for (const AVI_CHUNK& e : ix.entries) {
            EXPECT_EQ(ix.nBase + e.nPos, r.frames[f].nPos + 8) << f;
            EXPECT_EQ(e.nSize, r.frames[f].nSize) << f;
            ++f;
        }
    }
    for (const AVI_CHUNK& c : r.frames) {
        ASSERT_GE(c.nSize, 4u);
        EXPECT_EQ(reader.Bytes(c.nPos + 8, 2), (std::vector<uint8_t>{0xff, 0xd8}));
        EXPECT_EQ(reader.Bytes(c.nPos + 8 + c.nSize - 2, 2), (std::vector<uint8_t>{0xff, 0xd9}));
    }
}

// A stand-in for a compressed frame: JPEG markers around n bytes of its number.
std::vector<uint8_t> FakeJpeg(size_t n, uint8_t nNumber)
{
    std::vector<uint8_t> b(n, nNumber);
    b[0] = 0xff;
    b[1] = 0xd8;
    b[n - 2] = 0xff;
    b[n - 1] = 0xd9;
    return b;
}

// What ffprobe reads of a file: its frames (packets, not decoded) and its
// duration in seconds.
struct PROBED {
    int nFrames = -1;
    double dSeconds = -1;
};

PROBED Probe(const QString& ffprobe, const std::string& path)
{
    QProcess probe;
    probe.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
                          QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                          QStringLiteral("stream=nb_read_packets:format=duration"), QStringLiteral("-of"),
                          QStringLiteral("default=nw=1"), QString::fromStdString(path)});
    PROBED r;
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0) {
        ADD_FAILURE() << probe.readAllStandardError().toStdString();
        return r;
    }
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        if (line.startsWith("nb_read_packets=")) {
            r.nFrames = line.mid(16).trimmed().toInt();
        } else if (line.startsWith("duration=")) {
            r.dSeconds = line.mid(9).trimmed().toDouble();
        }
    }
    return r;
}

class AviRecordingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CICubeApi::Process().IsUsable());
        for (const char* f :
             {"open_error", "disconnect_after", "broken_every", "avi_stop_after", "avi_riff_limit", "avi_second_ms"}) {
            SetSimFault(f, 0);
        }
        SetSimFault("fps", 100);
        ASSERT_TRUE(m_Dir.isValid());
    }
    void TearDown() override
    {
        SetSimFault("avi_stop_after", 0);
        SetSimFault("avi_riff_limit", 0);
    }
    // The mono camera streaming 320 x 240.
    void Open(CCameraCtrl& c)
    {
        ASSERT_TRUE(c.OpenCamera(1));
        for (int i = 0; i < c.GetModeCount(); ++i) {
            if (c.GetModeNumber(i) == 0) {
                ASSERT_TRUE(c.SetChangeResolution(i));
            }
        }
        ASSERT_TRUE(c.StartStreaming(&m_Sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT));
    }
    static bool Recording(CCameraCtrl& c)
    {
        BOOL bEnable = FALSE, bOn = FALSE;
        return c.GetVideoRecordingParam(bEnable, bOn) && bEnable && bOn;
    }
    std::string Path(const char* name) const { return m_Dir.filePath(QString::fromLatin1(name)).toStdString(); }

    QTemporaryDir m_Dir;
    CRecordingSink m_Sink;
};

} // namespace

TEST(AviWriterFile, SpillsIntoOpenDmlListsAtTheRiffLimit)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("spill.avi")).toStdString();
    constexpr uint64_t kLimit = 64 * 1024;
    constexpr int kFrames = 60;
    {
        media::CAviWriter avi(kLimit);
        ASSERT_TRUE(avi.Open(path, 320, 240, 30.0));
        for (int i = 0; i < kFrames; ++i) {
            const std::vector<uint8_t> jpeg = FakeJpeg(3000 + 97 * size_t(i), uint8_t(i));
            ASSERT_TRUE(avi.AddFrame(jpeg.data(), jpeg.size()));
        }
        ASSERT_TRUE(avi.Close(25.0)); // the rate the frames really came at
    }
    CAviReader reader(path);
    const AVI_PARSED r = reader.Parse();
    ExpectConsistent(reader, r);
    ASSERT_EQ(r.frames.size(), size_t(kFrames));
    EXPECT_GE(r.riffTypes.size(), 3u);
    EXPECT_LT(r.framesPerRiff[0], size_t(kFrames));
    for (uint64_t size : r.riffSizes) {
        EXPECT_LE(size, kLimit);
    }
    EXPECT_EQ(r.nWidth, 320u);
    EXPECT_EQ(r.nHeight, 240u);
    EXPECT_EQ(r.nUsPerFrame, 40000u);
    EXPECT_EQ(r.nRate, 25000u);
    EXPECT_EQ(r.nScale, 1000u);
    // The frames in order, each with its own bytes.
    for (int i = 0; i < kFrames; ++i) {
        EXPECT_EQ(r.frames[size_t(i)].nSize, 3000u + 97u * uint32_t(i));
        EXPECT_EQ(reader.Bytes(r.frames[size_t(i)].nPos + 8 + 2, 1), std::vector<uint8_t>{uint8_t(i)});
    }

    // Under the limit the file is one RIFF list that plain AVI readers take whole.
    const std::string small = dir.filePath(QStringLiteral("small.avi")).toStdString();
    {
        media::CAviWriter avi;
        ASSERT_TRUE(avi.Open(small, 640, 480, 30.0));
        for (int i = 0; i < 5; ++i) {
            const std::vector<uint8_t> jpeg = FakeJpeg(1001, uint8_t(i));
            ASSERT_TRUE(avi.AddFrame(jpeg.data(), jpeg.size()));
        }
        ASSERT_TRUE(avi.Close());
    }
    CAviReader smallReader(small);
    const AVI_PARSED s = smallReader.Parse();
    ExpectConsistent(smallReader, s);
    EXPECT_EQ(s.riffTypes.size(), 1u);
    EXPECT_EQ(s.nAvihFrames, 5u);
    EXPECT_EQ(s.nUsPerFrame, 33333u);
    EXPECT_EQ(s.riffSizes[0], s.nFileSize);
}

// A disk that fills after so many bytes: the writer stops taking frames, and
// its close cuts the file back to the last whole frame, giving up frames
// while the indexes do not fit, so the file is whole and plays to its end.
TEST(AviWriterFile, AFullDiskEndsTheFileAtItsLastWholeFrame)
{
    REQUIRE_FULL_DISK_LIBRARY();
    REQUIRE_TOOL(ffprobe, "ffprobe");
    struct CASE {
        const char* pName;
        uint64_t nRiffLimit;
        qint64 nDiskBytes;
        int nFrames;        // offered
        size_t nGivenToIndex; // whole frames left out so the index fits
    } const kCases[] = {
        {"one list, found at a flush mid-recording", media::kAviRiffLimit, 300000, 200, 0},
        {"OpenDML lists, the last one cut", 64 * 1024, 300000, 200, 0},
        {"every frame still buffered, found at the close", media::kAviRiffLimit, 20000, 8, 0},
        // The fourth frame ends 64 bytes before the disk is full: too few for its index.
        {"the last whole frame gives its room to the index", media::kAviRiffLimit, 17300, 8, 1},
        {"no room for the header", media::kAviRiffLimit, 1000, 1, 0},
    };
    // Frame i: JPEG markers around 3000 + 97 i bytes of its number.
    const auto write = [](media::CAviWriter& avi, int nFrames) {
        int n = 0;
        for (; n < nFrames; ++n) {
            const std::vector<uint8_t> jpeg = FakeJpeg(3000 + 97 * size_t(n), uint8_t(n));
            if (!avi.AddFrame(jpeg.data(), jpeg.size())) {
                break;
            }
        }
        return n;
    };
    for (const CASE& c : kCases) {
        SCOPED_TRACE(c.pName);
        QTemporaryDir dir;
        // The same frames on a disk with room: where each one ends.
        const std::string reference = dir.filePath(QStringLiteral("room.avi")).toStdString();
        {
            media::CAviWriter avi(c.nRiffLimit);
            ASSERT_TRUE(avi.Open(reference, 320, 240, 30.0));
            ASSERT_EQ(write(avi, c.nFrames), c.nFrames);
            ASSERT_TRUE(avi.Close(25.0));
        }
        CAviReader referenceReader(reference);
        const AVI_PARSED room = referenceReader.Parse();
        const size_t nWhole = size_t(std::count_if(room.frames.begin(), room.frames.end(), [&](const AVI_CHUNK& f) {
            return f.nPos + 8 + f.nSize + (f.nSize & 1) <= uint64_t(c.nDiskBytes);
        }));

        const std::string path = dir.filePath(QStringLiteral("full.avi")).toStdString();
        fulldisk::CFullDisk full(dir.path(), c.nDiskBytes);
        media::CAviWriter avi(c.nRiffLimit);
        if (!avi.Open(path, 320, 240, 30.0)) {
            EXPECT_EQ(nWhole, 0u) << "only a disk without room for the header refuses the file";
            EXPECT_EQ(avi.WriteError(), ENOSPC);
            EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
            continue;
        }
        const int nTaken = write(avi, c.nFrames);
        EXPECT_TRUE(avi.Close(25.0));
        EXPECT_EQ(avi.WriteError(), ENOSPC);

        CAviReader reader(path);
        const AVI_PARSED r = reader.Parse();
        ExpectConsistent(reader, r);
        EXPECT_LE(r.nFileSize, uint64_t(c.nDiskBytes));
        EXPECT_EQ(r.frames.size() + c.nGivenToIndex, nWhole);
        EXPECT_EQ(avi.FrameCount(), int(r.frames.size()));
        for (size_t i = 0; i < r.frames.size(); ++i) {
            EXPECT_EQ(reader.Bytes(r.frames[i].nPos + 8 + 2, 1), std::vector<uint8_t>{uint8_t(i)}) << i;
        }
        const PROBED probed = Probe(ffprobe, path);
        EXPECT_EQ(probed.nFrames, int(r.frames.size()));
        EXPECT_NEAR(probed.dSeconds, double(r.frames.size()) / 25.0, 0.05);
        std::printf("[ %s ] %zu of %d frames kept (%zu whole) in %llu bytes, %zu RIFF; ffprobe: %d frames, %.3f s\n",
                    c.pName, r.frames.size(), nTaken, nWhole, static_cast<unsigned long long>(r.nFileSize),
                    r.riffTypes.size(), probed.nFrames, probed.dSeconds);
    }
}

TEST_F(AviRecordingTest, RecordsAcrossRiffListsEndsEarlyOnAPulledCableAndOnClose)
{
    CCameraCtrl c;
    Open(c);
    // The cable pulled after 8 frames of a 30-second recording in lists of
    // 20 kB: the state says it ended long before its time, and the file holds
    // those 8 frames. One recording at a time.
    SetSimFault("avi_riff_limit", 20000);
    SetSimFault("avi_stop_after", 8);
    const std::string cut = Path("cut.avi");
    ASSERT_TRUE(c.StartSaveAVI(QString::fromStdString(cut), 30));
    EXPECT_TRUE(Recording(c));
    EXPECT_EQ(c.StartSaveAVI(QString::fromStdString(Path("second.avi")), 1), FALSE);
    ASSERT_TRUE(WaitFor([&] { return !Recording(c); }, 10000));
    {
        CAviReader reader(cut);
        const AVI_PARSED r = reader.Parse();
        ExpectConsistent(reader, r);
        EXPECT_EQ(r.frames.size(), 8u);
    }

    // Closing the camera mid-recording returns with the file complete.
    SetSimFault("avi_stop_after", 0);
    const std::string closed = Path("closed.avi");
    ASSERT_TRUE(c.StartSaveAVI(QString::fromStdString(closed), 30));
    const uint64_t n = c.GetFramesDelivered();
    ASSERT_TRUE(WaitFor([&] { return c.GetFramesDelivered() >= n + 5; }, 10000));
    ASSERT_TRUE(c.CloseCamera());
    CAviReader reader(closed);
    const AVI_PARSED r = reader.Parse();
    ExpectConsistent(reader, r);
    EXPECT_GE(r.frames.size(), 1u);
}

TEST_F(AviRecordingTest, FfprobeReadsEveryFrameOfAnOpenDmlRecording)
{
    REQUIRE_TOOL(ffprobe, "ffprobe");
    CCameraCtrl c;
    Open(c);
    SetSimFault("avi_riff_limit", 20000);
    const std::string path = Path("probe.avi");
    ASSERT_TRUE(c.StartSaveAVI(QString::fromStdString(path), 1));
    ASSERT_TRUE(WaitFor([&] { return !Recording(c); }, 10000));
    CAviReader reader(path);
    const AVI_PARSED r = reader.Parse();
    ExpectConsistent(reader, r);
    ASSERT_GE(r.riffTypes.size(), 2u);
    QProcess probe;
    probe.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                          QStringLiteral("-select_streams"), QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                          QStringLiteral("stream=nb_read_frames"), QStringLiteral("-of"), QStringLiteral("csv=p=0"),
                          QString::fromStdString(path)});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    EXPECT_EQ(probe.readAllStandardOutput().trimmed().toInt(), int(r.frames.size()));
}
