// A live run of the main window with an interval series: the simulated
// camera at 2592 x 1944 and 30 fps, one JPEG image every S seconds for N
// seconds (defaults 60 and 3) while the live view runs. Prints the images
// saved against the images due and the frames shown against the frames
// delivered during the series. Run it on a quiet machine:
//
//   QT_QPA_PLATFORM=offscreen build/bin/pixmetra_live_series [seconds [interval]]
//
// At 3 s and more the series is started by the window's button, as a user
// starts it. The settings allow nothing shorter, so a shorter interval runs
// the window's own series threads directly, to show what they keep up with.
#include "app/LogFile.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "camera/ICubeApi.h"
#include "platform/ModuleFolder.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/ContinueSave.h"
#include "workflow/capture/SaveContinueState.h"
#include "platform/MessageSink.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Boxes would wait for a click nobody makes: each is printed and answered Yes.
class CPrintedBoxes : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString&, UINT) override
    {
        std::fprintf(stderr, "box: %s\n", text.toUtf8().constData());
        return IDYES;
    }
};

void RunFor(int nMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < nMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int nSeconds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 60;
    const int kIntervalSec = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 59) : 3;
    constexpr int kShortestSetting = 3;
    const int nImages = nSeconds / kIntervalSec;
    qputenv("PIXMETRA_SIMCAM_FPS", "30");
    qputenv("PIXMETRA_SIMCAM_CAMERAS", "1");
    qputenv("PIXMETRA_UVC_CAMERAS", "0");
    QApplication app(argc, argv);
    // The camera library binds from the program's own folder, before the
    // settings folder moves to a temporary one.
    CICubeApi::Process();
    QTemporaryDir dir;
    platform::SetModuleFolderForTest(dir.path() + QLatin1Char('/'), QStringLiteral("Pixmetra"));
    CLogFile log;
    log.Open(dir.path() + QStringLiteral("/Log"), 1);
    SetProgramLog(&log);
    CPrintedBoxes boxes;
    SetMessageBoxProvider(&boxes);
    const QString folder = dir.path() + QStringLiteral("/series");
    QDir().mkpath(folder);
    SYSTEM_SETTING s;
    SetDefaultSystemSetting(s);
    s.SaveContinue.SaveContinueMode = 0;
    s.SaveContinue.SaveIntervalKind = 0;
    s.SaveContinue.IntervelMin = 0;
    s.SaveContinue.IntervalSec = std::max(kIntervalSec, kShortestSetting);
    s.SaveContinue.IntervalCnt = nImages;
    s.SaveContinue.SaveFolderKind = 0;
    s.SaveContinue.SaveFolderPath = folder + QLatin1Char('/');
    s.SaveContinue.SubFolderKind = 0;
    s.FileFormat = 1; // JPEG
    s.bSaveHoleImage = TRUE;
    if (!SaveSystemSetting(s)) {
        std::fprintf(stderr, "cannot write the settings\n");
        return 1;
    }

    CPixmetraDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    RunFor(3000); // the stream settles
    if (!dlg.Parts().live.IsCameraOK()) {
        std::fprintf(stderr, "no camera\n");
        return 1;
    }
    const uint64_t nDelivered0 = dlg.Parts().camera.GetFramesDelivered();
    const uint64_t nShown0 = dlg.Parts().live.GetShownFrameCount();
    QElapsedTimer t;
    t.start();
    CRecordingSink sink;
    CContinueSave direct(dlg.Parts().camera, &sink);
    uint64_t nDirectId = 0;
    CONTINUE_SAVE_STATUS status;
    if (kIntervalSec >= kShortestSetting) {
        dlg.OnBnClickedBtnSaveContinue();
    } else {
        CONTINUE_SAVE_PLAN plan;
        plan.nCount = nImages;
        plan.nIntervalSec = kIntervalSec;
        plan.folder = folder;
        plan.nFileType = 1;
        plan.nQuality = s.JpegQuality;
        nDirectId = direct.Start(plan);
    }
    const auto bRunning = [&] {
        if (nDirectId == 0) {
            return bool(dlg.SaveContinueState().bSaving);
        }
        return direct.GetStatus(nDirectId, status) && !status.bEnded;
    };
    // The series ends one interval after its last image; allow a little more.
    while (bRunning() && t.elapsed() < (nSeconds + 10) * 1000) {
        RunFor(100);
    }
    const double dSeconds = t.elapsed() / 1000.0;
    const uint64_t nDelivered = dlg.Parts().camera.GetFramesDelivered() - nDelivered0;
    const uint64_t nShown = dlg.Parts().live.GetShownFrameCount() - nShown0;
    const int nSaved = int(QDir(folder).entryList({QStringLiteral("*.jpg")}, QDir::Files).size());
    if (nDirectId == 0) {
        std::printf("series of %d images every %d s at 2592 x 1944 JPEG, %.1f s%s; message line: %s\n", nImages,
                    kIntervalSec, dSeconds, dlg.SaveContinueState().bSaving ? " (still saving)" : "",
                    dlg.GetMessageText().toUtf8().constData());
    } else {
        direct.GetStatus(nDirectId, status);
        std::printf("series of %d images every %d s at 2592 x 1944 JPEG on the window's series threads, %.1f s%s; "
                    "late %d, skipped %d\n",
                    nImages, kIntervalSec, dSeconds, status.bEnded ? "" : " (still saving)", status.nLate,
                    status.nSkipped);
    }
    std::printf("images saved / due: %d / %d (%.1f %%)\n", nSaved, nImages, 100.0 * nSaved / nImages);
    std::printf("frames shown / delivered: %llu / %llu (%.1f %%), %.1f fps delivered\n",
                static_cast<unsigned long long>(nShown), static_cast<unsigned long long>(nDelivered),
                nDelivered != 0 ? 100.0 * double(nShown) / double(nDelivered) : 0.0, nDelivered / dSeconds);
    if (qEnvironmentVariableIsSet("PIXMETRA_LIVE_SERIES_DEBUG")) {
        QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            std::printf("  %s\n", it.next().toUtf8().constData());
        }
    }
    if (qEnvironmentVariableIsSet("PIXMETRA_LIVE_SERIES_DEBUG")) {
        QFile f(log.GetFilePath());
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : f.readAll().split('\n')) {
                if (line.contains("Save") || line.contains("save") || line.contains("Continue")) {
                    std::printf("  log: %s\n", line.constData());
                }
            }
        }
    }
    direct.Quit();
    SetProgramLog(nullptr);
    SetMessageBoxProvider(nullptr);
    platform::SetModuleFolderForTest(QString());
    return 0;
}
