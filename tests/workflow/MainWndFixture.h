// The main window on the simulated camera's still picture, driven through
// its real widgets: message boxes and file dialogs answered by the test,
// clicks at image points, the reference length and text dialogs answered
// as they open, and the ruler calibration of 1000 px = 1 mm.
#pragma once

#include "MainWndTestBase.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetLengthDlg.h"
#include "app/dialogs/SetTextDlg.h"
#include "engine/LayeredWnd.h"
#include "platform/ModuleFolder.h"
#include "simcam/TestPattern.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

class CalibrationFlowTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        qputenv("PIXMETRA_SIMCAM_CAMERAS", "0");
    }

    // The main window showing the simulated camera's still frame, no calibration yet.
    CPixmetraDlg& Start()
    {
        StartWindow();
        simcam::CTestPattern pattern;
        pattern.Render(kWidth, kHeight, simcam::PATTERN_LOOK{});
        int ox = 0, oy = 0;
        simcam::CTestPattern::StillOffset(ox, oy);
        m_nOffsetX = ox;
        m_nOffsetY = oy;
        std::vector<uint8_t> frame(size_t(kWidth) * kHeight * 3);
        pattern.CutFrame(frame.data(), ox, oy, false, 0);
        CPixmetraDlg& dlg = *m_pDlg;
        EXPECT_TRUE(dlg.Image().SetImage(frame.data(), IMAGE_INFO{24, kWidth, kHeight}));
        EXPECT_TRUE(dlg.Overlay()->Initialise(kWidth, kHeight, 1.0));
        dlg.ResetPictureView(IMAGE_INFO{24, kWidth, kHeight});
        dlg.UpdateButtons();
        return dlg;
    }

    QAbstractButton* Button(int nID)
    {
        QWidget* p = m_pDlg->MeasureModeDlg()->GetDlgItem(nID);
        if (p == nullptr) {
            p = m_pDlg->MeasureModeDlg()->PageCalibration()->GetDlgItem(nID);
        }
        return qobject_cast<QAbstractButton*>(p);
    }

    void ClickImage(POINT pt)
    {
        POINT w{};
        ASSERT_TRUE(m_pDlg->Geometry().ImageToWindow(pt, &w));
        QTest::mouseClick(m_pDlg->Overlay(), Qt::LeftButton, Qt::NoModifier, QPoint(w.x, w.y));
    }

    // Answers the next reference length dialog with text (OK) or cancels it (empty text).
    void AnswerLengthDialog(const QString& text)
    {
        m_bAnswered = false;
        auto* pTimer = new QTimer;
        auto tries = std::make_shared<int>(0);
        QObject::connect(pTimer, &QTimer::timeout, [this, pTimer, tries, text] {
            auto* pDlg = qobject_cast<CSetLengthDlg*>(QApplication::activeModalWidget());
            if (pDlg == nullptr) {
                if (++*tries > 500) {
                    pTimer->stop();
                    pTimer->deleteLater();
                    ADD_FAILURE() << "reference length dialog never shown";
                }
                return;
            }
            pTimer->stop();
            pTimer->deleteLater();
            m_UnitShown = pDlg->m_UnitText;
            if (text.isEmpty()) {
                QTest::mouseClick(pDlg->findChild<QAbstractButton*>(QStringLiteral("IDCANCEL")), Qt::LeftButton);
            } else {
                pDlg->findChild<QLineEdit*>(QStringLiteral("IDC_EDIT_LENGTH"))->setText(text);
                QTest::mouseClick(pDlg->findChild<QAbstractButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
            }
            m_bAnswered = true;
        });
        pTimer->start(10);
    }

    // Image point of world point (x, y) of the pattern.
    POINT Img(double x, double y) const
    {
        return POINT{int(std::lround(x - m_nOffsetX)), int(std::lround(y - m_nOffsetY))};
    }

    // The ruler's ticks at 0 and 1000 px, halfway down its long ticks.
    void RulerPoints(POINT& p0, POINT& p1000) const
    {
        const int worldH = kHeight + simcam::kWorldMargin;
        const double rulerY = worldH - simcam::kWorldMargin / 2 - 60 + 20;
        p0 = Img(100, rulerY);
        p1000 = Img(1100, rulerY);
    }

    // Slot 0 set to the ruler's 1000 px = 1 mm by a 2-point reference line.
    void CalibrateRulerInMillimetres()
    {
        CPixmetraDlg& dlg = *m_pDlg;
        POINT p0{}, p1000{};
        RulerPoints(p0, p1000);
        QTest::mouseClick(Button(1024), Qt::LeftButton);
        QTest::mouseClick(Button(1012), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Overlay()->Input().IsCalibrating(); }, 2000));
        AnswerLengthDialog(QStringLiteral("1.0"));
        ClickImage(p0);
        ClickImage(p1000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_bAnswered && dlg.Setting().Calibration[0].bEnable; }, 5000));
        QTest::qWait(20);
    }

    // Answers the next text dialog with text and OK.
    void AnswerTextDialog(const QString& text)
    {
        m_bAnswered = false;
        auto* pTimer = new QTimer;
        auto tries = std::make_shared<int>(0);
        QObject::connect(pTimer, &QTimer::timeout, [this, pTimer, tries, text] {
            auto* pDlg = qobject_cast<CSetTextDlg*>(QApplication::activeModalWidget());
            if (pDlg == nullptr) {
                if (++*tries > 500) {
                    pTimer->stop();
                    pTimer->deleteLater();
                    ADD_FAILURE() << "text dialog never shown";
                }
                return;
            }
            pTimer->stop();
            pTimer->deleteLater();
            m_TextShown = pDlg->findChild<QLineEdit*>(QStringLiteral("IDC_EDIT_TEXT"))->text();
            pDlg->findChild<QLineEdit*>(QStringLiteral("IDC_EDIT_TEXT"))->setText(text);
            QTest::mouseClick(pDlg->findChild<QAbstractButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
            m_bAnswered = true;
        });
        pTimer->start(10);
    }

    int m_nOffsetX = 0, m_nOffsetY = 0;
    bool m_bAnswered = false;
    QString m_UnitShown;
    QString m_TextShown;
};
