// Program entry: the application object does the start-up and runs the main
// window given here, which a later start can bring to the front.
#include "app/PixmetraApp.h"
#include "workflow/PixmetraDlg.h"

#include <QApplication>

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
    CPixmetraApp theApp;
    theApp.SetMainWindowRunner(RunMainWindow);
    theApp.InitInstance();
    return theApp.ExitInstance();
}
