// The settings window's general tab: language, window memory, caption font,
// image saving, continuous saving and the camera choice.
#include "app/LogFile.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SaveContinueSettingDlg.h"
#include "app/dialogs/SelectFontDlg.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "ui_SystemSettingDlg.h"

void CSystemSettingDlg::ConnectGeneralTab()
{
    m_pUi->IDC_SLIDER_JPEG_QUALITY->setRange(1, 100);
    connect(m_pUi->IDC_SLIDER_JPEG_QUALITY, &QSlider::valueChanged, this,
            [this](int n) { m_pUi->IDC_EDIT_JPEG_QUALITY->setText(QString::number(n)); });
    connect(m_pUi->IDC_BTN_SEL_CAPTION_FONT, &QPushButton::clicked, this, [this] { OnBnClickedSelFont(true); });
    connect(m_pUi->IDC_BTN_SAVE_CONTINUE_SETTING, &QPushButton::clicked, this,
            [this] { OnBnClickedSaveContinueSetting(); });
}

void CSystemSettingDlg::DispGeneralTab()
{
    const SYSTEM_SETTING& s = m_SystemSetting;
    (s.LanguageKind == 1 ? m_pUi->IDC_RADIO_ENGLISH : m_pUi->IDC_RADIO_JAPANESE)->setChecked(true);
    m_pUi->IDC_CHECK_REGIST_WINDOW_POS->setChecked(s.bRegistWindowPos != FALSE);
    m_pUi->IDC_EDIT_CAPTION_FONT_NAME->setText(s.CaptionFontName);
    m_pUi->IDC_EDIT_CAPTION_FONT_PT->setText(QString::number(s.CaptionFontPt));
    m_pUi->IDC_SLIDER_JPEG_QUALITY->setValue(s.JpegQuality);
    m_pUi->IDC_EDIT_JPEG_QUALITY->setText(QString::number(m_pUi->IDC_SLIDER_JPEG_QUALITY->value()));
    (s.FileFormat == 1 ? m_pUi->IDC_RADIO_JPEG : m_pUi->IDC_RADIO_BMP)->setChecked(true);
    m_pUi->IDC_CHECK_SAVE_HOLE_IMAGE->setChecked(s.bSaveHoleImage != FALSE);
    FillCameraList();
}

QStringList CSystemSettingDlg::DistinctCameraNames(const QStringList& names)
{
    QStringList shown = names;
    for (int i = 0; i < names.size(); ++i) {
        if (shown[i] != names[i]) {
            continue; // already numbered as a later copy of an earlier name
        }
        int nNext = 2;
        for (int j = i + 1; j < names.size(); ++j) {
            if (names[j] == names[i] && shown[j] == names[j]) {
                shown[j] = names[j] + QStringLiteral("(%1)").arg(nNext++);
            }
        }
        if (nNext > 2) {
            shown[i] = names[i] + QStringLiteral("(1)");
        }
    }
    return shown;
}

void CSystemSettingDlg::FillCameraList()
{
    const CAMERA_SETTING& cam = m_SystemSetting.Camera;
    QComboBox* pCombo = m_pUi->IDC_COMBO_CONNECT_CAMERA;
    pCombo->clear();
    pCombo->addItems(DistinctCameraNames(m_CameraNames));
    int nSel = 0;
    if (cam.CurConnectCameraIdx >= 0 && cam.CurConnectCameraIdx < m_CameraNames.size() &&
        m_CameraNames[cam.CurConnectCameraIdx] == cam.CurConectCameraName) {
        nSel = cam.CurConnectCameraIdx;
    }
    pCombo->setCurrentIndex(pCombo->count() > 0 ? nSel : -1);
    WriteLog(QStringLiteral("[SYSTEMDLG]DispSystemSetting() m_ComboCenectCameraName.GetCurSel() = %1")
                 .arg(pCombo->currentIndex()));
}

void CSystemSettingDlg::ReadGeneralTab()
{
    SYSTEM_SETTING& s = m_SystemSetting;
    s.LanguageKind = m_pUi->IDC_RADIO_ENGLISH->isChecked() ? 1 : 0;
    s.bRegistWindowPos = m_pUi->IDC_CHECK_REGIST_WINDOW_POS->isChecked() ? TRUE : FALSE;
    s.JpegQuality = m_pUi->IDC_SLIDER_JPEG_QUALITY->value();
    s.FileFormat = m_pUi->IDC_RADIO_JPEG->isChecked() ? 1 : 0;
    s.bSaveHoleImage = m_pUi->IDC_CHECK_SAVE_HOLE_IMAGE->isChecked() ? TRUE : FALSE;
    const int nSel = m_pUi->IDC_COMBO_CONNECT_CAMERA->currentIndex();
    if (m_bCameraConnected && nSel >= 0 && nSel < m_CameraNames.size()) {
        // The name as the camera reports it, without the number the list added.
        s.Camera.CurConectCameraName = m_CameraNames[nSel];
        s.Camera.CurConnectCameraIdx = nSel;
    }
}

void CSystemSettingDlg::OnBnClickedSelFont(bool bCaption)
{
    SYSTEM_SETTING& s = m_SystemSetting;
    CSelectFontDlg dlg(this);
    if (bCaption) {
        dlg.SetFont(s.CaptionFontName, s.CaptionFontPt);
    } else {
        dlg.SetFont(QString::fromStdU16String(TextFieldString(s.Draw.MeasStrFontName)), s.Draw.MeasStrFontPt);
    }
    if (dlg.DoModal() != IDOK) {
        return;
    }
    if (bCaption) {
        s.CaptionFontName = dlg.m_FontName;
        s.CaptionFontPt = dlg.m_nFontPt;
        m_pUi->IDC_EDIT_CAPTION_FONT_NAME->setText(s.CaptionFontName);
        m_pUi->IDC_EDIT_CAPTION_FONT_PT->setText(QString::number(s.CaptionFontPt));
    } else {
        CopyTextField(s.Draw.MeasStrFontName, dlg.m_FontName.toStdU16String());
        s.Draw.MeasStrFontPt = dlg.m_nFontPt;
        m_pUi->IDC_EDIT_MEAS_FONT_NAME->setText(dlg.m_FontName);
        m_pUi->IDC_EDIT_MEAS_FONT_PT->setText(QString::number(s.Draw.MeasStrFontPt));
    }
}

void CSystemSettingDlg::OnBnClickedSaveContinueSetting()
{
    CSaveContinueSettingDlg dlg(this);
    dlg.SetSaveContinueSetting(&m_SystemSetting.SaveContinue);
    dlg.DoModal();
}
