#include "workflow/measure/EdgeSnapFlow.h"

#include "app/LogFile.h"
#include "app/SystemSetting.h"
#include "engine/LayeredWnd.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"

#include <QCheckBox>

CEdgeSnapFlow::CEdgeSnapFlow(const EDGE_SNAP_PARTS& parts)
    : m_Setting(parts.setting), m_pOverlay(parts.pOverlay), m_Snap(parts.image)
{
    if (parts.pTool != nullptr) {
        m_pCheck = qobject_cast<QCheckBox*>(parts.pTool->PageMeasurement()->GetDlgItem(IDC_CHECK_EDGE_SNAP));
    }
    if (m_pCheck != nullptr) {
        QObject::connect(m_pCheck, &QCheckBox::toggled, m_pCheck, [this](bool bChecked) { SetSnap(bChecked); });
    }
    ApplySetting();
}

CEdgeSnapFlow::~CEdgeSnapFlow()
{
    if (m_pCheck != nullptr) {
        QObject::disconnect(m_pCheck, &QCheckBox::toggled, m_pCheck, nullptr);
    }
    if (m_pOverlay != nullptr) {
        m_pOverlay->Engine().SetPointSnap(nullptr);
    }
}

void CEdgeSnapFlow::ApplySetting()
{
    const bool bOn = m_Setting.bEdgeSnap != FALSE;
    if (m_pCheck != nullptr && m_pCheck->isChecked() != bOn) {
        m_pCheck->setChecked(bOn); // its notice sets the snap
    } else {
        SetSnap(bOn);
    }
}

void CEdgeSnapFlow::SetSnap(bool bOn)
{
    if (bOn != m_bOn) {
        WriteLog(QStringLiteral("[MAIN]EdgeSnap = ") + (bOn ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    }
    m_bOn = bOn;
    m_Setting.bEdgeSnap = bOn ? TRUE : FALSE;
    if (m_pOverlay != nullptr) {
        m_pOverlay->Engine().SetPointSnap(bOn ? &m_Snap : nullptr);
    }
}
