// Loading and saving the whole settings record, in a full settings file and
// in one that holds 100,000 sections of the user's own.
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

// The full settings, then 100,000 sections of two keys each.
struct LARGE_SETTINGS_FILE : FULL_SETTINGS_FILE {
    QByteArray bytes;
    LARGE_SETTINGS_FILE()
    {
        QString text;
        for (int i = 0; i < 100000; ++i) {
            text += QStringLiteral("[Section%1]\r\nFirstKey=%1\r\nSecondKey=value %1\r\n").arg(i);
        }
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        bytes = f.readAll();
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        Restore();
    }
    void Restore() const
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
};

QStringList ReadLines(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    return text.split(QStringLiteral("\r\n"));
}

void BM_LoadSettings100kSections(benchmark::State& state)
{
    LARGE_SETTINGS_FILE file;
    SYSTEM_SETTING s;
    for (auto _ : state) {
        CQSFileIni::DropCache();
        LoadSystemSetting(s);
        benchmark::DoNotOptimize(s.JpegQuality);
    }
}
BENCHMARK(BM_LoadSettings100kSections)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadSettings100kSections_Baseline(benchmark::State& state)
{
    LARGE_SETTINGS_FILE file;
    for (auto _ : state) {
        const QStringList lines = ReadLines(file.path);
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_LoadSettings100kSections_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// One save of every key of the program into the large file, read beforehand.
void BM_SaveSettings100kSections(benchmark::State& state)
{
    LARGE_SETTINGS_FILE file;
    SYSTEM_SETTING s;
    for (auto _ : state) {
        state.PauseTiming();
        file.Restore();
        CQSFileIni::DropCache();
        LoadSystemSetting(s);
        s.JpegQuality = s.JpegQuality == 80 ? 81 : 80;
        state.ResumeTiming();
        benchmark::DoNotOptimize(SaveSystemSetting(s));
    }
}
BENCHMARK(BM_SaveSettings100kSections)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveSettings100kSections_Baseline(benchmark::State& state)
{
    LARGE_SETTINGS_FILE file;
    for (auto _ : state) {
        const QStringList lines = ReadLines(file.path);
        QFile f(file.path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        benchmark::DoNotOptimize(f.write(file.bytes));
    }
}
BENCHMARK(BM_SaveSettings100kSections_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
