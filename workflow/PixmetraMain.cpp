// Program entry: the application object does the start-up and runs the main
// window given here, which a later start can bring to the front.
#include "app/PixmetraApp.h"
#include "app/dialogs/FileDialog.h"
#include "app/dialogs/WindowMap.h"
#include "workflow/PixmetraDlg.h"

#include <QApplication>
#include <QIcon>

#include <memory>

namespace {

int RunMainWindow(CPixmetraApp& theApp)
{
    CPixmetraDlg dlg;
    theApp.SetActivateHandler([&dlg] {
        if (dlg.isMinimized()) {
            dlg.showNormal();
        }
        dlg.raise();
        dlg.activateWindow();
    });
    // Closing the main window ends the program, whatever other window of ours is still up.
    dlg.SetShutDownHandler([] { QCoreApplication::quit(); });
    dlg.OnInitDialog();
    dlg.show();
    const int result = QApplication::exec();
    theApp.SetActivateHandler(nullptr);
    return result;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The installed menu entry and icon: desktops match the windows to them.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pixmetra.Pixmetra"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pixmetra")));
    CPixmetraApp theApp;
    // Export, calibration files and folders ask through this; without it every
    // choice would come back as cancelled.
    CQtFileDialogProvider fileDialogs;
    CQSFileAccess::SetDialogProvider(&fileDialogs);
    // Tools that drive the program from outside read where its controls are.
    std::unique_ptr<CWindowMap> pWindowMap;
    if (const QString mapPath = qEnvironmentVariable("PIXMETRA_WINDOW_MAP"); !mapPath.isEmpty()) {
        pWindowMap = std::make_unique<CWindowMap>(mapPath);
    }
    theApp.SetMainWindowRunner(RunMainWindow);
    theApp.InitInstance();
    const int result = theApp.ExitInstance();
    CQSFileAccess::SetDialogProvider(nullptr);
    return result;
}
