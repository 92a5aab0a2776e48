// The main window's controls as its flows see them: a control by its
// template number, the refresh of every control's state after a flow changed
// one, the layout after one was shown or hidden, and the look of the
// live/still button.
#pragma once

class QWidget;

class IMainButtons {
public:
    virtual ~IMainButtons() = default;
    // The control with template number nID, or null.
    virtual QWidget* GetDlgItem(int nID) const = 0;
    virtual void UpdateButtons() = 0;
    virtual void UpdateLayout() = 0;
    // nKind: DISP_CAMERA_IMAGE or DISP_STILL_IMAGE.
    virtual void SetDispImageButtonLook(int nKind) = 0;
};
