// Test main for the start-up suites. Started with a child mode as its first
// argument, the binary plays another copy of the program instead of running
// tests, so the suites can check what happens between two processes.
#include "StartupChild.h"

#include "app/PixmetraApp.h"
#include "platform/ModuleFolder.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

// Answers every box at once and prints what it was asked, for the parent.
class CPrintingMessageBox : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString& caption, UINT nType) override
    {
        std::printf("BOX|%s|%s|%u\n", caption.toUtf8().constData(), text.toUtf8().constData(), nType);
        std::fflush(stdout);
        return IDOK;
    }
};

// Takes the lock and keeps it until killed.
int HoldLock(const QString& name)
{
    platform::CSingleInstance instance(name);
    const bool bHeld = instance.Acquire() == platform::CSingleInstance::SI_FIRST;
    std::printf(bHeld ? "HELD\n" : "BUSY\n");
    std::fflush(stdout);
    if (!bHeld) {
        return 3;
    }
    // The parent kills us; the limit only stops an orphan living on.
    for (int i = 0; i < 600; ++i) {
        QThread::msleep(100);
    }
    return 0;
}

// A full start of the program with the program folder in folder.
int StartProgram(const QString& name, const QString& folder)
{
    platform::SetModuleFolderForTest(folder);
    CPrintingMessageBox box;
    SetMessageBoxProvider(&box);
    int nExit = 0;
    {
        CPixmetraApp theApp(name);
        theApp.SetMainWindowRunner([](CPixmetraApp&) {
            std::printf("RUNNER\n");
            std::fflush(stdout);
            return 5;
        });
        theApp.InitInstance();
        nExit = theApp.ExitInstance();
    }
    SetMessageBoxProvider(nullptr);
    return nExit;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc >= 3 && std::strcmp(argv[1], kChildHoldLock) == 0) {
        return HoldLock(QString::fromLocal8Bit(argv[2]));
    }
    if (argc >= 4 && std::strcmp(argv[1], kChildStartProgram) == 0) {
        return StartProgram(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
