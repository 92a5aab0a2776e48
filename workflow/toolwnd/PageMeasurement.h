// The measurement page of the tool window: the buttons that start each kind,
// undo and cancel, text editing, the results list and its delete and export
// buttons. It holds no measurement logic; each button posts to the main window.
#pragma once

#include "app/SystemSetting.h"
#include "engine/QSListCtrl.h"
#include "engine/RgnData.h"
#include "engine/kinds/MeasureKindInfo.h"
#include "platform/MessageReceiver.h"

#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class CSummaryTable;
class QAbstractButton;
class QCheckBox;

class CPageMeasurement : public QWidget {
public:
    explicit CPageMeasurement(QWidget* pParent = nullptr);

    // pMain receives the page's messages; the settings (calibration index and
    // table), the results and the selection array are the main window's.
    BOOL InitPage(IMessageSink* pMain, const SYSTEM_SETTING* pSetting, const std::vector<MEASURE_DATA>* pResults,
                  std::vector<int>* pSelection);
    void SetDownPlace(int nDownPlace) { m_nDownPlace = nDownPlace; }
    void SetEnabledFlag(bool bEnable);
    void SetBusy(bool bBusy) { m_bBusy = bBusy; }

    void EndMakeShape();
    void CancelMakeShape();
    bool SelectMeasureShape(int32_t nMeasNum);
    void RefreshMeasResultList();
    void UpdateButtons();

    // Keys users expect from peers: Esc cancels the shape being made,
    // Backspace and Ctrl+Z take back its last point, Delete deletes the
    // selected rows. True when the key was taken.
    bool HandleEditKey(int nKey, Qt::KeyboardModifiers modifiers);

    int GetMakingKind() const { return m_nMakingKind; }
    CQSListCtrl* ResultList() const { return m_pList; }
    QWidget* GetDlgItem(int nID) const;
    // What the report button does (the page only asks for it).
    void SetReportAction(std::function<void()> fnReport) { m_fnReport = std::move(fnReport); }

    // A start button: its kind (button, caption and tooltip are the kind
    // table's), the message it posts and whether the message carries the kind.
    struct START_BUTTON {
        int nKind;
        UINT nMessage;
        bool bKindInWParam;
    };

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    // The list's selection notice, posted so it runs after the click.
    void OnPageMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Post(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0);
    void OnStartButton(const START_BUTTON& button);
    void OnListSelect();
    void OnDeleteRows();
    bool CalibrationExists() const;

    CMemberReceiver<CPageMeasurement, &CPageMeasurement::OnPageMessage> m_Receiver;
    CReceiverSink m_Sink;
    IMessageSink* m_pMain = nullptr;
    const SYSTEM_SETTING* m_pSetting = nullptr;
    const std::vector<MEASURE_DATA>* m_pResults = nullptr;
    std::vector<int>* m_pSelection = nullptr;
    // The rows the list shows, to find the selected measurements again after a refresh.
    std::vector<MEASURE_DATA> m_Shown;
    int m_nDownPlace = 3;
    int m_nMakingKind = MEAS_KIND_NONE;
    bool m_bTextSelected = false;
    bool m_bBusy = false;
    bool m_bEnabled = false;
    CQSListCtrl* m_pList = nullptr;
    QCheckBox* m_pScale = nullptr;
    CSummaryTable* m_pSummary = nullptr;
    std::function<void()> m_fnReport;
    std::map<int, QWidget*> m_Controls;
};
