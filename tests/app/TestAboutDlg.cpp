#include "StartupFixture.h"

#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/AboutDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QString Text(const CAboutDlg& dlg, int nID)
{
    QWidget* p = dlg.GetDlgItem(nID);
    if (auto* pEdit = qobject_cast<QLineEdit*>(p)) {
        return pEdit->text();
    }
    if (auto* pLabel = qobject_cast<QLabel*>(p)) {
        return pLabel->text();
    }
    ADD_FAILURE() << "no text control " << nID;
    return QString();
}

QStringList Captions(const CAboutDlg& dlg)
{
    QStringList out;
    for (const QLabel* p : dlg.findChildren<QLabel*>()) {
        if (!p->text().isEmpty() && p != dlg.GetDlgItem(CAboutDlg::IDC_STATIC_TITLE)) {
            out << p->text();
        }
    }
    for (const QPushButton* p : dlg.findChildren<QPushButton*>()) {
        out << p->text();
    }
    out.sort();
    return out;
}

const int kEdits[] = {CAboutDlg::IDC_EDIT_CAMERA_NAME, CAboutDlg::IDC_EDIT_DLL_VERSION,
                      CAboutDlg::IDC_EDIT_API_VERSION, CAboutDlg::IDC_EDIT_FW_VERSION,
                      CAboutDlg::IDC_EDIT_SERIAL_NUM};

} // namespace

TEST_F(StartupTest, AboutBoxWithoutCameraInJapanese)
{
    CPixmetraApp theApp(QStringLiteral("unused"));
    theApp.GetWindowTitle(TRUE); // a camera was seen earlier in this run
    CAboutDlg dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));

    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_STATIC_TITLE), theApp.GetWindowTitle(FALSE));
    EXPECT_TRUE(Text(dlg, CAboutDlg::IDC_STATIC_TITLE).endsWith(CPixmetraApp::GetVersionText()));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_CAMERA_NAME), QStringLiteral("no device"));
    for (const int nID : kEdits) {
        auto* pEdit = qobject_cast<QLineEdit*>(dlg.GetDlgItem(nID));
        ASSERT_NE(pEdit, nullptr) << nID;
        EXPECT_TRUE(pEdit->isReadOnly()) << nID;
        if (nID != CAboutDlg::IDC_EDIT_CAMERA_NAME) {
            EXPECT_TRUE(pEdit->text().isEmpty()) << nID;
        }
    }
    EXPECT_EQ(dlg.GetDlgItem(4711), nullptr);
    EXPECT_EQ(Captions(dlg), QStringList({QStringLiteral("API version."), QStringLiteral("Camera name"),
                                          QStringLiteral("DLL version."), QStringLiteral("Serial number"),
                                          QStringLiteral("firmware version."), QStringLiteral("閉じる")}));

    // The close button ends the box.
    QPushButton* pClose = dlg.findChild<QPushButton*>();
    ASSERT_NE(pClose, nullptr);
    QTest::mouseClick(pClose, Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(StartupTest, AboutBoxWithCameraInEnglish)
{
    CMultiLanguageTranslator translator;
    translator.SetTranslation(Path(QStringLiteral("LangTransEnglish.ini")), QStringLiteral("ENGLISH"));
    SetProgramTranslator(&translator);

    CAboutDlg dlg;
    dlg.SetCameraInfo(QStringLiteral("SIM-5M-C"), QStringLiteral("2.3.0.1"), QStringLiteral("0x0302"),
                      QStringLiteral("1.07"), QStringLiteral("SN-000123"));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("About"));
    // Without an application object the title is the name for loaded images.
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_STATIC_TITLE), GetProgramString(135) + CPixmetraApp::GetVersionText());
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_CAMERA_NAME), QStringLiteral("SIM-5M-C"));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_DLL_VERSION), QStringLiteral("2.3.0.1"));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_API_VERSION), QStringLiteral("0x0302"));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_FW_VERSION), QStringLiteral("1.07"));
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_SERIAL_NUM), QStringLiteral("SN-000123"));
    EXPECT_TRUE(Captions(dlg).contains(QStringLiteral("Close")));
    EXPECT_FALSE(Captions(dlg).contains(QStringLiteral("閉じる")));

    // Fields set while the box is shown show at once; the camera gone, "no device".
    dlg.SetNoDevice();
    EXPECT_EQ(Text(dlg, CAboutDlg::IDC_EDIT_CAMERA_NAME), QStringLiteral("no device"));
    EXPECT_TRUE(Text(dlg, CAboutDlg::IDC_EDIT_SERIAL_NUM).isEmpty());
    dlg.reject();
    SetProgramTranslator(nullptr);
}
