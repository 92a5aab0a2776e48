// The version box: the program's title with its version, when a camera is
// connected the camera's identity, and where the settings and the log are.
#pragma once

#include "platform/WinTypes.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class CAboutDlg;
}

class CAboutDlg : public QDialog {
public:
    // Controls of the form by their template numbers.
    enum { IDD = 100 };
    static constexpr int IDC_STATIC_TITLE = 1043;
    static constexpr int IDC_EDIT_CAMERA_NAME = 1009;
    static constexpr int IDC_EDIT_DLL_VERSION = 1010;
    static constexpr int IDC_EDIT_API_VERSION = 1011;
    static constexpr int IDC_EDIT_FW_VERSION = 1012;
    static constexpr int IDC_EDIT_SERIAL_NUM = 1013;
    static constexpr int IDC_EDIT_SETTINGS_FILE = 1014;
    static constexpr int IDC_EDIT_LOG_FOLDER = 1015;

    explicit CAboutDlg(QWidget* pParent = nullptr);
    ~CAboutDlg() override;

    // The main window fills the camera fields before the box runs. Fields
    // the camera cannot tell stay empty.
    void SetCameraInfo(const QString& cameraName, const QString& dllVersion, const QString& apiVersion,
                       const QString& fwVersion, const QString& serialNum);
    // No camera connected: "no device" as the name, the rest empty.
    void SetNoDevice();

    // Translates the captions, sets the caption and the title text and shows
    // the fields. Runs by itself when the box is first shown.
    BOOL OnInitDialog();

    // The control with template number nID, or null.
    QWidget* GetDlgItem(int nID) const;

    QString m_Title;
    QString m_CameraName;
    QString m_DllVersion;
    QString m_ApiVersion;
    QString m_FwVersion;
    QString m_SerialNum;
    QString m_SettingsFile;
    QString m_LogFolder;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    // Members to controls.
    void UpdateData();

    std::unique_ptr<Ui::CAboutDlg> m_pUi;
    bool m_bInitDone = false;
};
