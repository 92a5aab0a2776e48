// The summary figures and the report button through the real windows: two
// distances on the simulated camera's still picture, calibrated on its ruler.
#include "MainWndFixture.h"
#include "PdfTools.h"
#include "RequiredTool.h"

#include "workflow/measure/ReportTexts.h"
#include "workflow/measure/SummaryRows.h"
#include "workflow/toolwnd/SummaryTable.h"

#include <QDir>

namespace {

class ReportWindowTest : public CalibrationFlowTest {
protected:
    CSummaryTable* Summary()
    {
        return static_cast<CSummaryTable*>(m_pDlg->Parts().pTool->PageMeasurement()->GetDlgItem(IDC_TABLE_SUMMARY));
    }
    bool WaitForText(const char* pszText)
    {
        return QTest::qWaitFor([&] { return m_pDlg->GetMessageText() == ReportText(pszText); }, 5000);
    }
};

} // namespace

TEST_F(ReportWindowTest, SummaryFollowsTheListAndTheButtonWritesThePicturedReport)
{
    REQUIRE_TOOL(pdftotext, "pdftotext");
    REQUIRE_TOOL(pdfimages, "pdfimages");
    CPixmetraDlg& dlg = Start();
    CalibrateRulerInMillimetres();
    dlg.Parts().pTool->SelChangeTab(MEAS_TAB_MEASUREMENT, true);
    QAbstractButton* pReport = ToolButton(IDC_BTN_SAVE_REPORT);
    ASSERT_NE(pReport, nullptr);
    EXPECT_FALSE(pReport->isEnabled()); // nothing measured yet
    EXPECT_FALSE(Summary()->isVisible());

    MeasureWith(MEAS_LENGTH, {Img(200, 200), Img(400, 200)});
    MeasureWith(MEAS_LENGTH, {Img(200, 300), Img(800, 300)});
    ASSERT_TRUE(Summary()->isVisible());
    ASSERT_EQ(Summary()->rowCount(), 1);
    EXPECT_EQ(Summary()->item(0, SUMMARY_COL_COUNT)->text(), "2");
    const std::vector<QStringList> summary =
        BuildSummaryRows(dlg.Parts().measure.Results(), dlg.Parts().setting.MeasureDownPlace, 1);
    EXPECT_EQ(Summary()->item(0, SUMMARY_COL_CONTENT)->text(), summary[0][SUMMARY_COL_CONTENT] + " (mm)");
    for (int c = SUMMARY_COL_COUNT; c < SUMMARY_COL_UNIT; ++c) {
        EXPECT_EQ(Summary()->item(0, c)->text(), summary[0][c]) << c;
    }

    const QString path = QDir(m_Dir.path()).filePath("report.pdf");
    m_Files.Path = path;
    ASSERT_TRUE(pReport->isEnabled());
    QTest::mouseClick(pReport, Qt::LeftButton);
    ASSERT_TRUE(WaitForText(report_text::kSaved)) << m_pDlg->GetMessageText().toStdString();
    EXPECT_EQ(m_Files.Ext, "pdf");
    const std::vector<QSize> sizes = pdftools::ImageSizes(pdfimages, path);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0], QSize(kWidth, kHeight));
    const QString text = pdftools::Text(pdftotext, path);
    const CQSListCtrl* pList = dlg.Parts().pTool->PageMeasurement()->ResultList();
    for (int r = 0; r < pList->GetRowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < 4; ++c) {
            row << pList->item(r, c)->text();
        }
        EXPECT_TRUE(pdftools::HasRow(text, row)) << row.join('|').toStdString();
    }
    EXPECT_TRUE(pdftools::HasRow(text, summary[0]));

    // Again onto the same file: the dialog asks; declined, nothing is written.
    m_Files.bDeclineOverwrite = true;
    dlg.SetStatusMessage(QString());
    QTest::mouseClick(pReport, Qt::LeftButton);
    HandlePosted();
    EXPECT_EQ(m_Files.nOverwriteAsked, 1);
    EXPECT_TRUE(m_pDlg->GetMessageText().isEmpty());

    // A folder that is not there: the message, and no file.
    m_Files.Path = QDir(m_Dir.path()).filePath("missing/report.pdf");
    QTest::mouseClick(pReport, Qt::LeftButton);
    ASSERT_TRUE(WaitForText(report_text::kFailed));
    EXPECT_FALSE(QFileInfo::exists(m_Files.Path));
    EXPECT_FALSE(QFileInfo::exists(QDir(m_Dir.path()).filePath("missing")));

    // Deleting every result empties the summary.
    m_Boxes.nAnswer = IDYES;
    QTest::mouseClick(ToolButton(IDC_BTN_DELETE_ALL), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.Parts().measure.Results().empty(); }, 3000));
    EXPECT_FALSE(Summary()->isVisible());
}
