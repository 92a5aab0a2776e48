// The main window against the simulated camera, for the flows of the camera
// adjustment and settings windows: a temporary program folder, recorded
// message boxes, and a way to answer a modal dialog from inside its loop.
#pragma once

#include "MainWndTestBase.h"
#include "app/LogFile.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "camera/ICubeApi.h"
#include "platform/ModuleFolder.h"
#include "workflow/PixmetraDlg.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class SettingsFlowTest : public MainWndTestBase {
protected:
    void SetUp() override
    {
        MainWndTestBase::SetUp();
        m_Boxes.nAnswer = IDOK;
        SetSimFault("fps", 30);
        qputenv("PIXMETRA_SIMCAM_CAMERAS", "2");
    }

    CPixmetraDlg& Start(const MAIN_WINDOW_OPTIONS& options = MAIN_WINDOW_OPTIONS())
    {
        return StartWindow(options);
    }

    // Runs fn on the dialog of type T once it is the modal window, from
    // inside its own event loop.
    template <class T>
    static void WhenModal(std::function<void(T*)> fn)
    {
        auto* pTimer = new QTimer;
        pTimer->setInterval(10);
        QObject::connect(pTimer, &QTimer::timeout, [pTimer, fn] {
            if (auto* p = qobject_cast<T*>(QApplication::activeModalWidget())) {
                pTimer->stop();
                pTimer->deleteLater();
                fn(p);
            }
        });
        pTimer->start();
    }

    // A frame delivered after this call, copied out of the ring.
    static std::vector<uint8_t> NextFrame(CCameraCtrl& camera, int nAfter = 2)
    {
        const uint64_t n = camera.GetFramesDelivered();
        for (int i = 0; i < 3000 && camera.GetFramesDelivered() < n + uint64_t(nAfter); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        int32_t w = 0, h = 0, nSize = 0;
        camera.GetImageSize(w, h, nullptr, &nSize);
        std::vector<uint8_t> frame(size_t(nSize), 0);
        camera.ShotImage(frame.data(), -1);
        return frame;
    }

};
