// Copying the log files to a folder of the user's choice, and choosing how
// many days of logs the program keeps (applied by the opener).
#pragma once

#include "app/dialogs/ParamDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class CLogCopyDlg;
}
class CLogFile;

class CLogCopyDlg : public CParamDialog {
    Q_OBJECT
public:
    enum { IDD = 185 };
    static constexpr int IDC_EDIT_COPY_TO_FOLDER = 1009;
    static constexpr int IDC_EDIT_LOG_FOLDER = 1010; // where the copy comes from
    static constexpr int IDC_BTN_SEL_COPY_TO_FOLDER = 1120;
    static constexpr int IDC_BTN_START_COPY = 1041;
    static constexpr int IDC_RADIO_LOG_DAYS_30 = 1163;
    static constexpr int IDC_RADIO_LOG_DAYS_60 = 1164;
    static constexpr int IDC_RADIO_LOG_DAYS_90 = 1165;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    explicit CLogCopyDlg(QWidget* pParent = nullptr);
    ~CLogCopyDlg() override;

    // The log written to and the configured log folder; by default those of
    // the application object.
    void SetLog(CLogFile* pLog, const QString& configuredFolder);

    BOOL OnInitDialog() override;
    void OnBnClickedBtnSelCopyToFolder();
    void OnBnClickedBtnStartCopy();
    void OnBnClickedOk();

    // Destination folder (empty at start) and retention choice (0, 1, 2 for 30, 60, 90 days).
    QString m_CopyToFolder;
    int m_nSaveLogDaysIdx = 1;

protected:
    std::span<const CONTROL_NAME> Controls() const override;

private:
    std::unique_ptr<Ui::CLogCopyDlg> m_pUi;
    CLogFile* m_pLog = nullptr;
    QString m_ConfiguredFolder;
};
