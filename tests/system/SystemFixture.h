// What every test of the program on a real screen starts from: the X tools
// present (a missing one fails under CI), a screen, and the program started
// on it with its main window and tool window up.
#pragma once

#include "system/ProgramRun.h"
#include "system/XSession.h"

#include <gtest/gtest.h>

#include <memory>

inline constexpr int kStartMs = 30000;
inline constexpr int kWindowMs = 10000;
inline constexpr int kExitMs = 5000;
inline constexpr const char* kEnglishIni = "[LanguageSetting]\nLanguageKind=1\n";
// One micrometre a pixel: measuring is open, and lengths read in pixels.
inline constexpr const char* kCalibratedIni =
    "[CalibrationSetting]\nCalibrationIndex=0\nbEnable-1=True\nName-1=grid\nPixelLength-1=100\n"
    "ReferenceLength-1=100\nSetPointKind-1=0\nUnitKind-1=0\nCalibration-1=1\n";

class SystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString missing = MissingTools();
        if (!missing.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI")) {
                FAIL() << "missing tools: " << missing.toStdString();
            }
            GTEST_SKIP() << "missing tools: " << missing.toStdString();
        }
    }

    void StartScreen(int nWidth, int nHeight)
    {
        QString why;
        ASSERT_TRUE(m_X.Start(nWidth, nHeight, &why)) << why.toStdString();
    }

    // The program in a fresh folder (a first start), with the settings given.
    void StartProgram(CProgramRun& run, double dScale = 1.0, const char* pszIni = nullptr)
    {
        ASSERT_TRUE(run.MakeFolder());
        if (pszIni != nullptr) {
            run.WriteIni(pszIni);
        }
        StartAgain(run, dScale);
    }

    // The program again in the folder it had.
    void StartAgain(CProgramRun& run, double dScale = 1.0, const QStringList& env = {})
    {
        ASSERT_TRUE(run.Start(dScale, env));
        ASSERT_TRUE(run.WaitForMap(kStartMs, [](const WINDOW_MAP& m) {
            return m.Window(QString::fromLatin1(kMainWindow)) != nullptr &&
                   m.Window(QString::fromLatin1(kToolWindow)) != nullptr;
        })) << "the main window and the tool window did not appear";
        // The window manager has placed both once their frames are known and
        // they stay where they are.
        ASSERT_TRUE(PollFor(kWindowMs, [&] {
            const WINDOW_MAP m = run.Map();
            const MAP_WINDOW* pMain = m.Window(QString::fromLatin1(kMainWindow));
            const MAP_WINDOW* pTool = m.Window(QString::fromLatin1(kToolWindow));
            return pMain != nullptr && pTool != nullptr && m_X.FrameRect(pMain->id) != m_X.ClientRect(pMain->id) &&
                   m_X.FrameRect(pTool->id) != m_X.ClientRect(pTool->id);
        }));
        WaitForSettledWindows(run);
    }

    // A 1600 x 1000 screen and the program measuring in pixels, on the measurement tab.
    void StartMeasuring(CProgramRun& run)
    {
        StartScreen(1600, 1000);
        if (HasFatalFailure()) {
            return;
        }
        StartProgram(run, 1.0, kCalibratedIni);
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(run.ClickControl(QString::fromLatin1(kToolWindow), QStringLiteral("tabMode:1")));
    }

    // Waits until no window of the program moved or changed size for a few tenths of a second.
    static void WaitForSettledWindows(const CProgramRun& run)
    {
        auto places = [&] {
            QList<QRect> out;
            for (const MAP_WINDOW& w : run.Map().windows) {
                out << w.rect;
            }
            return out;
        };
        QList<QRect> last = places();
        int nSame = 0;
        PollFor(kWindowMs, [&] {
            const QList<QRect> now = places();
            nSame = now == last ? nSame + 1 : 0;
            last = now;
            return nSame >= 6;
        });
    }

    CXSession m_X;
};
