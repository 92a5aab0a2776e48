// Loading the whole settings record from a full settings file.
#include "app/QSFileIni.h"
#include "app/SystemSetting.h"
#include "platform/ModuleFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct FULL_SETTINGS_FILE {
    QTemporaryDir dir;
    QString path;
    FULL_SETTINGS_FILE()
    {
        platform::SetModuleFolderForTest(dir.path(), QStringLiteral("Pixmetra"));
        SYSTEM_SETTING s;
        SetDefaultSystemSetting(s);
        for (int i = 0; i < CALIBRATION_NUM; ++i) {
            s.Calibration[i].bEnable = TRUE;
            s.Calibration[i].PixelLength = 100.0 + i;
            s.Calibration[i].ReferenceLength = 1.0;
            s.Calibration[i].Calibration = 0.01 / (i + 1);
        }
        SaveSystemSetting(s);
        path = SystemSettingPath();
    }
    ~FULL_SETTINGS_FILE() { platform::SetModuleFolderForTest(QString()); }
};

void BM_LoadSystemSetting(benchmark::State& state)
{
    FULL_SETTINGS_FILE file;
    SYSTEM_SETTING s;
    for (auto _ : state) {
        CQSFileIni::DropCache(); // every load reads the file again
        LoadSystemSetting(s);
        benchmark::DoNotOptimize(s.JpegQuality);
    }
}
BENCHMARK(BM_LoadSystemSetting)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LoadSystemSetting_Baseline(benchmark::State& state)
{
    FULL_SETTINGS_FILE file;
    for (auto _ : state) {
        QFile f(file.path);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                                (bytes.size() - 2) / 2);
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_LoadSystemSetting_Baseline)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
