// The pieces of the main window its flows are handed, declared once so that
// each flow's header names only what it adds, and the parts most flows share.
#pragma once

class CCameraCtrl;
class CCrossLines;
class CDisplayGeometry;
class CLayeredWnd;
class CLiveController;
class CMeasureModeDlg;
class CPictureViewController;
class CZoomWndFlow;
class IMainButtons;
class IMessageSink;
class IPictureState;
class IStatusLine;
class IStatusParts;
class QWidget;
struct SYSTEM_SETTING;

// The window as the still files and the settings see it: its buttons and
// message line, the live picture and its view, and the settings. The overlay,
// the tool window, the cross lines and the magnifier may be absent (a window
// that failed to build them).
struct WINDOW_PARTS {
    QWidget* pOwner; // the dialogs' parent
    IMainButtons& buttons;
    IStatusLine& status;
    CLiveController& live;
    CPictureViewController& view;
    CDisplayGeometry& geometry;
    SYSTEM_SETTING& setting;
    CLayeredWnd* pOverlay;
    CMeasureModeDlg* pTool;
    CCrossLines* pCrossLines;
    CZoomWndFlow* pZoomFlow;
};
