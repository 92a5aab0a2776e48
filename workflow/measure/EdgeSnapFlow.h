// The main window's side of edge snap: the measurement page's check box,
// the setting that remembers it, and the overlay's points landing on the
// picture's edges while it is ticked.
#pragma once

#include "workflow/measure/PictureSnap.h"

#include <QPointer>

class CAccImage;
class CLayeredWnd;
class CMeasureModeDlg;
class QCheckBox;
struct SYSTEM_SETTING;

struct EDGE_SNAP_PARTS {
    const CAccImage& image;
    SYSTEM_SETTING& setting;
    CLayeredWnd* pOverlay; // may be absent
    CMeasureModeDlg* pTool; // may be absent
};

class CEdgeSnapFlow {
public:
    // Takes the state the settings remember.
    explicit CEdgeSnapFlow(const EDGE_SNAP_PARTS& parts);
    ~CEdgeSnapFlow();
    CEdgeSnapFlow(const CEdgeSnapFlow&) = delete;
    CEdgeSnapFlow& operator=(const CEdgeSnapFlow&) = delete;

    bool IsOn() const { return m_bOn; }

private:
    // The check box and the overlay as the settings say.
    void ApplySetting();
    void SetSnap(bool bOn);

    SYSTEM_SETTING& m_Setting;
    QPointer<CLayeredWnd> m_pOverlay;
    QPointer<QCheckBox> m_pCheck;
    CPictureSnap m_Snap;
    bool m_bOn = false;
};
