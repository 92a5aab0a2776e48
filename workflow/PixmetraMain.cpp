// Program entry: settings, translation and log, then the main window as the main loop.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/SystemSetting.h"
#include "platform/ModuleFolder.h"
#include "workflow/PixmetraDlg.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SYSTEM_SETTING setting;
    LoadSystemSetting(setting);

    CMultiLanguageTranslator translator;
    const QString folder = platform::GetModuleFolder();
    if (setting.LanguageKind == 1) {
        translator.SetTranslation(folder + QStringLiteral("LangTransEnglish.ini"), QStringLiteral("ENGLISH"));
    } else {
        translator.SetTranslation(folder + QStringLiteral("LangTransJapanese.ini"), QStringLiteral("JAPANESE"));
    }
    SetProgramTranslator(&translator);

    CLogFile log;
    log.Open(folder + QStringLiteral("Log") + platform::PathSeparator(), setting.SaveLogDays);
    SetProgramLog(&log);
    WriteLog(QStringLiteral("[APP]Start ->"));

    int result = 0;
    {
        CPixmetraDlg dlg;
        dlg.OnInitDialog();
        dlg.show();
        result = app.exec();
    }
    WriteLog(QStringLiteral("[APP]End"));
    SetProgramLog(nullptr);
    SetProgramTranslator(nullptr);
    return result;
}
