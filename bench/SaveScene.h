// A shown 5 MP picture with texture and a number of random measurements on
// it, for the benchmarks that save it.
#pragma once

#include "engine/LayeredInput.h"
#include "engine/OverlayMessages.h"
#include "engine/QtTextMeasurer.h"
#include "image/AccImage.h"

#include <QDir>
#include <QTemporaryDir>

#include <random>
#include <vector>

constexpr int kW = 2592, kH = 1944;

struct SAVE_SCENE {
    CQtTextMeasurer measurer;
    CRecordingSink sink;
    CLayeredInput input{&sink};
    CAccImage image;
    QTemporaryDir dir;

    explicit SAVE_SCENE(int nMeasurements)
    {
        // A picture with texture, so the encoder works as on a camera frame.
        std::vector<uint8_t> pixels(size_t(kW) * kH * 3);
        std::mt19937 rng(7);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = uint8_t((i / 3 % kW) / 12 + (i / 3 / kW) / 10 + rng() % 24);
        }
        image.SetImage(pixels.data(), IMAGE_INFO{24, kW, kH});
        CRgnDataCtrl& eng = input.Engine();
        eng.SetDrawWindow(&measurer);
        eng.SetImageSize(kW, kH, 1.0);
        eng.SetCalibration(0.01, 2, 1, FALSE);
        input.SetInitialised(TRUE);
        auto rp = [&] { return POINT{20 + int(rng() % (kW - 40)), 20 + int(rng() % (kH - 40))}; };
        const int kinds[] = {MEAS_LENGTH, MEAS_CIRCLE, MEAS_ANGLE, MEAS_PARALLEL, MEAS_LENGTH};
        int made = 0;
        while (made < nMeasurements) {
            const size_t before = eng.GetMeasureArray().size();
            input.StartMakeShape(kinds[made % 5]);
            for (int i = 0; i < 3 && input.IsMakingShape(); ++i) {
                input.OnLButtonDown(MK_LBUTTON, rp());
            }
            input.CancelInput();
            made += eng.GetMeasureArray().size() > before ? 1 : 0;
        }
    }
    QString Path(const char* pszName = "save.jpg") const
    {
        return dir.path() + QLatin1Char('/') + QLatin1String(pszName);
    }
};
