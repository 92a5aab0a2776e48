// The tool window with the English translation file: every caption, tab,
// tooltip, list heading and row text a user reads is English.
#include "MainWndFixture.h"

#include <QDir>
#include <QLabel>
#include <QTableWidget>
#include <QTabWidget>

namespace {

bool HasJapanese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) {
            return true;
        }
    }
    return false;
}

// Every text the tool window shows or offers as a tooltip.
QStringList ToolTexts(const QWidget& tool)
{
    QStringList out{tool.windowTitle()};
    for (const QAbstractButton* p : tool.findChildren<QAbstractButton*>()) {
        out << p->text() << p->toolTip();
    }
    for (const QLabel* p : tool.findChildren<QLabel*>()) {
        out << p->text();
    }
    for (const QTabWidget* p : tool.findChildren<QTabWidget*>()) {
        for (int i = 0; i < p->count(); ++i) {
            out << p->tabText(i);
        }
    }
    for (const QTableWidget* p : tool.findChildren<QTableWidget*>()) {
        for (int c = 0; c < p->columnCount(); ++c) {
            out << (p->horizontalHeaderItem(c) != nullptr ? p->horizontalHeaderItem(c)->text() : QString());
            for (int r = 0; r < p->rowCount(); ++r) {
                out << (p->item(r, c) != nullptr ? p->item(r, c)->text() : QString());
            }
        }
    }
    out.removeAll(QString());
    return out;
}

class ToolWindowEnglishTest : public CalibrationFlowTest {
protected:
    void SetUp() override
    {
        CalibrationFlowTest::SetUp();
        const QString path = QDir(m_Dir.path()).filePath(QStringLiteral("LangTransEnglish.ini"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(PIXMETRA_SOURCE_DIR "/app/LangTransEnglish.ini"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        m_Translator.SetTranslation(path, QStringLiteral("ENGLISH"));
        SetProgramTranslator(&m_Translator);
    }
    void TearDown() override
    {
        CalibrationFlowTest::TearDown();
        SetProgramTranslator(nullptr);
    }
    CMultiLanguageTranslator m_Translator;
};

TEST_F(ToolWindowEnglishTest, CaptionsListsAndRowsShowNoJapanese)
{
    CPixmetraDlg& dlg = Start();
    CMeasureModeDlg* pTool = dlg.MeasureModeDlg();
    // A calibration, one measurement of a kind and a 2-circle one fill both lists.
    CalibrateRulerInMillimetres();
    pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    MeasureWith(1030, {POINT{100, 100}, POINT{300, 100}});
    MeasureWith(1033, {POINT{100, 300}, POINT{150, 350}, POINT{100, 400}, POINT{400, 300}, POINT{450, 350},
                       POINT{400, 400}}, 3);

    const QStringList texts = ToolTexts(*pTool);
    EXPECT_GT(texts.size(), 40);
    for (const QString& text : texts) {
        EXPECT_FALSE(HasJapanese(text)) << text.toStdString();
    }
    // The set button says what it does to a calibration.
    EXPECT_EQ(pTool->PageCalibration()->GetDlgItem(1012)->property("text").toString(), QStringLiteral("Set"));
    EXPECT_FALSE(HasJapanese(dlg.GetMessageText())) << dlg.GetMessageText().toStdString();
}

} // namespace
