#include "workflow/MainPlacement.h"

#include "app/LogFile.h"
#include "app/dialogs/FitToScreen.h"
#include "workflow/MainMetrics.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

bool RestoreWindowPlacement(QWidget& main, SYSTEM_SETTING& setting, const QSize& minSize)
{
    if (!setting.bRegistWindowPos) {
        return false;
    }
    if (setting.bMaximizeWnd) {
        WriteLog(QStringLiteral("[MAIN]Maximize Window"));
        main.setWindowState(main.windowState() | Qt::WindowMaximized);
        return false;
    }
    RECT& rc = setting.MainWndRect;
    const QRect saved(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    if (saved.width() <= 0 || saved.height() <= 0) {
        return false;
    }
    QScreen* pPrimary = QGuiApplication::primaryScreen();
    const QSize screenSize = pPrimary != nullptr ? pPrimary->size() : QSize();
    WriteLog(QString::asprintf("[MAIN]Monitor Size X:%d Y:%d  MinDialogSize Width:%d Height:%d", screenSize.width(),
                               screenSize.height(), minSize.width(), minSize.height()));
    WriteLog(QString::asprintf("[MAIN]SetWindowPos  X:%d Y:%d Width:%d Height:%d", saved.left(), saved.top(),
                               saved.width(), saved.height()));
    // Only a rectangle whose title area lies on a screen present now is used.
    bool bOnScreen = false;
    const QRect titleArea(saved.left(), saved.top(), saved.width(), std::min(saved.height(), 40));
    for (QScreen* pScreen : QGuiApplication::screens()) {
        const QRect common = pScreen->availableGeometry().intersected(titleArea);
        if (common.width() >= std::min(100, saved.width()) && common.height() >= std::min(20, saved.height())) {
            bOnScreen = true;
        }
    }
    if (!bOnScreen || saved.width() < minSize.width() - 1 || saved.height() < minSize.height() - 1) {
        rc = RECT{0, 0, 0, 0};
        WriteLog(QStringLiteral("[MAIN]Reset Main Window Rect"));
        return false;
    }
    // A rectangle kept from a larger screen or a smaller display scale is
    // fitted to this screen, its frame included.
    QScreen* pScreen = QGuiApplication::screenAt(titleArea.center());
    if (pScreen == nullptr) {
        pScreen = pPrimary;
    }
    QRect fitted = saved;
    if (pScreen != nullptr) {
        const QRect avail = pScreen->availableGeometry().marginsRemoved(FrameMarginsOf(&main));
        fitted.setSize(saved.size().boundedTo(avail.size()).expandedTo(minSize));
        fitted.moveLeft(std::clamp(saved.left(), avail.left(), std::max(avail.left(), avail.right() + 1 - fitted.width())));
        fitted.moveTop(std::clamp(saved.top(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - fitted.height())));
    }
    main.setGeometry(fitted);
    return true;
}

void PlaceToolWindow(QWidget& main, CMeasureModeDlg& tool, bool bPlacementRestored,
                     const std::function<QRect(const QRect&)>& fnPictureArea)
{
    QScreen* pScreen = main.screen() != nullptr ? main.screen() : QGuiApplication::primaryScreen();
    const QRect client = main.geometry();
    const QMargins margins = FrameMarginsOf(&main);
    const QRect frame = client.marginsAdded(margins);
    if (pScreen == nullptr) {
        tool.PlaceBeside(frame);
        return;
    }
    const QRect avail = pScreen->availableGeometry();
    tool.adjustSize();
    const int toolFrameWidth = tool.width() + margins.left() + margins.right() + kToolGap;
    const int mainFrameMin = main.minimumWidth() + margins.left() + margins.right();
    const bool bSideBySide = avail.width() >= mainFrameMin + toolFrameWidth;
    if (!bPlacementRestored) {
        // The first start: the main window as large as the screen allows
        // beside the tool window, or the whole screen when both do not fit.
        const int mainFrameWidth = bSideBySide ? std::min(frame.width(), avail.width() - toolFrameWidth)
                                               : std::min(frame.width(), avail.width());
        // Over the picture, the tool window needs the whole height the screen has.
        const int mainHeight = bSideBySide ? std::min(client.height(), avail.height() - margins.top() - margins.bottom())
                                           : avail.height() - margins.top() - margins.bottom();
        const QRect mainClient(avail.left() + margins.left(), avail.top() + margins.top(),
                               mainFrameWidth - margins.left() - margins.right(), mainHeight);
        main.setGeometry(mainClient);
        if (bSideBySide) {
            tool.PlaceBeside(mainClient.marginsAdded(margins));
        } else {
            tool.PlaceInside(fnPictureArea(mainClient), margins);
        }
        return;
    }
    tool.PlaceBeside(frame);
    // Where the place kept or found beside would hide the main window's
    // controls, the tool window lies over the picture instead.
    const QRect toolFrame = tool.frameGeometry().marginsAdded(
        tool.frameGeometry() == tool.geometry() ? margins : QMargins());
    if (toolFrame.intersects(frame) && !fnPictureArea(client).contains(toolFrame)) {
        tool.PlaceInside(fnPictureArea(client), margins);
    }
}

void SaveWindowPlacement(const QWidget& main, SYSTEM_SETTING& setting)
{
    if (!setting.bRegistWindowPos) {
        setting.MainWndRect = RECT{0, 0, 0, 0};
        return;
    }
    setting.bMaximizeWnd = main.isMaximized() ? TRUE : FALSE;
    if (!main.isMinimized() && !main.isMaximized()) {
        const QRect g = main.geometry();
        setting.MainWndRect = RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    }
}
