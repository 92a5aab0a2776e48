// The calibration page of the tool window: the table of named calibrations,
// the name, the reference method and the unit, and the buttons that set,
// delete, save and load calibrations. Its working table is copied into the
// main window's settings after each change.
#pragma once

#include "engine/QSListCtrl.h"
#include "platform/MessageReceiver.h"
#include "workflow/calibration/CalibrationTable.h"

#include <QWidget>

#include <map>

class QLineEdit;
class QRadioButton;

class CPageCalibration : public QWidget {
public:
    explicit CPageCalibration(QWidget* pParent = nullptr);

    BOOL InitPage(IMessageSink* pMain, SYSTEM_SETTING* pSetting);
    void SetEnabledFlag(bool bEnable);
    // The working table again from the settings (after a load or a change
    // made by the main window).
    void ReloadFromSetting();
    void UpdateControls();

    CCalibrationTable& Table() { return m_Table; }
    CQSListCtrl* CalibrationList() const { return m_pList; }
    QWidget* GetDlgItem(int nID) const;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    // The list's selection notice, posted so it runs after the click.
    void OnPageMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Post(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0);
    void OnListSelect();
    void StoreToSetting();

    CMemberReceiver<CPageCalibration, &CPageCalibration::OnPageMessage> m_Receiver;
    CReceiverSink m_Sink;
    IMessageSink* m_pMain = nullptr;
    SYSTEM_SETTING* m_pSetting = nullptr;
    CCalibrationTable m_Table;
    bool m_bEnabled = false;
    CQSListCtrl* m_pList = nullptr;
    QLineEdit* m_pName = nullptr;
    std::map<int, QWidget*> m_Controls;
};
