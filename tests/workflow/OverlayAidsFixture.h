// The main window on real widgets for the aids drawn over the picture (cross
// lines, scale bar, magnifier): settings written first, a camera or a still
// picture, clicks at image points, posted messages waited for.
#pragma once

#include "MainWndTestBase.h"
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "camera/ICubeApi.h"
#include "engine/LayeredWnd.h"
#include "platform/ModuleFolder.h"
#include "workflow/PixmetraDlg.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class OverlayAidsTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
        SetSimFault("fps", 30);
    }

    CPixmetraDlg& Start(int nCameras)
    {
        qputenv("PIXMETRA_SIMCAM_CAMERAS", QByteArray::number(nCameras));
        return StartWindow();
    }

    // A still picture whose pixel (x, y) is R = x, G = y, B = 30 (each modulo 256).
    void ShowStill(int w, int h)
    {
        CPixmetraDlg& dlg = *m_pDlg;
        const int stride = CAccImage::GetStride(w, 24);
        std::vector<uint8_t> pixels(size_t(stride) * size_t(h));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                uint8_t* p = &pixels[size_t(y) * size_t(stride) + size_t(x) * 3];
                p[0] = 30;
                p[1] = uint8_t(y);
                p[2] = uint8_t(x);
            }
        }
        ASSERT_TRUE(dlg.Image().SetImage(pixels.data(), IMAGE_INFO{24, w, h}));
        ASSERT_TRUE(dlg.Overlay()->Initialise(w, h, 1.0));
        dlg.ResetPictureView(IMAGE_INFO{24, w, h});
        dlg.UpdateButtons();
    }

    QPoint WindowPoint(POINT ptImage)
    {
        POINT w{};
        EXPECT_TRUE(m_pDlg->Geometry().ImageToWindow(ptImage, &w));
        return QPoint(w.x, w.y);
    }

    void ClickImage(POINT ptImage)
    {
        QTest::mouseClick(m_pDlg->Overlay(), Qt::LeftButton, Qt::NoModifier, WindowPoint(ptImage));
    }

    // Waits until the message line shows string nID.
    bool WaitForMessage(UINT nID)
    {
        return QTest::qWaitFor([&] { return m_pDlg->GetMessageText() == GetProgramString(nID); }, 3000);
    }

    QAbstractButton* MainButton(int nID) { return qobject_cast<QAbstractButton*>(m_pDlg->GetDlgItem(nID)); }

};
