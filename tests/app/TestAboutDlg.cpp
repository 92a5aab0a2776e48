#include "StartupFixture.h"

#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/AboutDlg.h"
#include "app/dialogs/TranslateWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
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

TEST_F(StartupTest, CaptionsOfEveryKindOfControlAreTranslatedInPlace)
{
    QDialog dlg;
    auto* pLabel = new QLabel(QStringLiteral("バージョン情報"), &dlg);
    auto* pRich = new QLabel(QStringLiteral("<b>確定</b>"), &dlg);
    pRich->setTextFormat(Qt::RichText);
    auto* pGroup = new QGroupBox(QStringLiteral("閉じる"), &dlg);
    auto* pCheck = new QCheckBox(QStringLiteral("確定"), pGroup);
    auto* pCombo = new QComboBox(&dlg);
    pCombo->addItem(QStringLiteral("確定"), 17);
    pCombo->addItem(QStringLiteral("未訳の項目"), 18);
    pCombo->setCurrentIndex(1);
    auto* pTabs = new QTabWidget(&dlg);
    pTabs->addTab(new QWidget, QStringLiteral("キャンセル"));
    auto* pList = new QListWidget(&dlg);
    pList->addItem(QStringLiteral("閉じる"));
    auto* pTable = new QTableWidget(1, 2, &dlg);
    pTable->setHorizontalHeaderLabels({QStringLiteral("確定"), QStringLiteral("キャンセル")});
    auto* pTree = new QTreeWidget(&dlg);
    pTree->setHeaderLabels({QStringLiteral("閉じる")});
    auto* pParent = new QTreeWidgetItem(pTree, {QStringLiteral("確定")});
    new QTreeWidgetItem(pParent, {QStringLiteral("キャンセル")});

    // No translation active: nothing changes and nothing is looked up.
    TranslateChildWindows(&dlg);
    EXPECT_EQ(pLabel->text(), QStringLiteral("バージョン情報"));

    CMultiLanguageTranslator translator;
    translator.SetTranslation(Path(QStringLiteral("LangTransEnglish.ini")), QStringLiteral("ENGLISH"));
    SetProgramTranslator(&translator);
    TranslateChildWindows(&dlg);
    SetProgramTranslator(nullptr);

    EXPECT_EQ(pLabel->text(), QStringLiteral("About"));
    EXPECT_EQ(pRich->text(), QStringLiteral("<b>確定</b>"));
    EXPECT_EQ(pGroup->title(), QStringLiteral("Close"));
    EXPECT_EQ(pCheck->text(), QStringLiteral("OK"));
    EXPECT_EQ(pCombo->itemText(0), QStringLiteral("OK"));
    EXPECT_EQ(pCombo->itemText(1), QStringLiteral("未訳の項目"));
    // The items keep their data and the selection.
    EXPECT_EQ(pCombo->itemData(0).toInt(), 17);
    EXPECT_EQ(pCombo->itemData(1).toInt(), 18);
    EXPECT_EQ(pCombo->currentIndex(), 1);
    EXPECT_EQ(pTabs->tabText(0), QStringLiteral("Cancel"));
    EXPECT_EQ(pList->item(0)->text(), QStringLiteral("Close"));
    EXPECT_EQ(pTable->horizontalHeaderItem(0)->text(), QStringLiteral("OK"));
    EXPECT_EQ(pTable->horizontalHeaderItem(1)->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(pTree->headerItem()->text(0), QStringLiteral("Close"));
    EXPECT_EQ(pParent->text(0), QStringLiteral("OK"));
    EXPECT_EQ(pParent->child(0)->text(0), QStringLiteral("Cancel"));
}
