#include "app/dialogs/FitToScreen.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// A typical frame, in screen pixels, for a window not yet framed.
constexpr int kTitleEstimate = 24;
constexpr int kBorderEstimate = 2;
constexpr int kBottomEstimate = 6;

// Puts each page of the tab widget into a scroll area of its own.
void MakePagesScroll(QTabWidget* pTabs)
{
    const QSignalBlocker block(pTabs);
    const int current = pTabs->currentIndex();
    for (int i = 0; i < pTabs->count(); ++i) {
        QWidget* pPage = pTabs->widget(i);
        if (qobject_cast<QScrollArea*>(pPage) != nullptr) {
            continue;
        }
        const QString text = pTabs->tabText(i);
        const bool bEnabled = pTabs->isTabEnabled(i);
        pTabs->removeTab(i);
        auto* pArea = new QScrollArea;
        pArea->setFrameShape(QFrame::NoFrame);
        pArea->setWidgetResizable(true);
        pArea->setWidget(pPage);
        pTabs->insertTab(i, pArea, text);
        pTabs->setTabEnabled(i, bEnabled);
    }
    pTabs->setCurrentIndex(current);
}

QRect AvailableArea(const QWidget* pWindow)
{
    QScreen* pScreen = pWindow->screen() != nullptr ? pWindow->screen() : QGuiApplication::primaryScreen();
    return pScreen != nullptr ? pScreen->availableGeometry() : QRect();
}

} // namespace

QMargins FrameMarginsOf(const QWidget* pWindow)
{
    const QRect frame = pWindow->frameGeometry();
    const QRect client = pWindow->geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    if (!margins.isNull()) {
        return margins;
    }
    const double dpr = std::max(1.0, pWindow->devicePixelRatioF());
    const int border = int(std::ceil(kBorderEstimate / dpr));
    return QMargins(border, int(std::ceil(kTitleEstimate / dpr)), border, int(std::ceil(kBottomEstimate / dpr)));
}

void FitSizeToScreen(QWidget* pDialog)
{
    const QRect avail = AvailableArea(pDialog).marginsRemoved(FrameMarginsOf(pDialog));
    if (avail.isEmpty()) {
        return;
    }
    const QSize size = pDialog->size().expandedTo(pDialog->minimumSizeHint());
    if (size.width() <= avail.width() && size.height() <= avail.height()) {
        return;
    }
    for (QTabWidget* pTabs : pDialog->findChildren<QTabWidget*>()) {
        MakePagesScroll(pTabs);
    }
    if (pDialog->layout() != nullptr) {
        pDialog->layout()->activate();
    }
    // Pages that scroll down give their scroll bar's width to it: the
    // dialog widens by as much, where the screen has room, so they do not
    // scroll sideways as well.
    QSize wanted = size;
    if (size.height() > avail.height()) {
        wanted.rwidth() += pDialog->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, pDialog);
    }
    pDialog->setMinimumSize(pDialog->minimumSizeHint().boundedTo(avail.size()));
    pDialog->resize(wanted.boundedTo(avail.size()));
}

void MoveIntoScreen(QWidget* pDialog)
{
    const QMargins margins = FrameMarginsOf(pDialog);
    const QRect avail = AvailableArea(pDialog);
    if (avail.isEmpty()) {
        return;
    }
    const QRect frame = pDialog->geometry().marginsAdded(margins);
    QPoint pos = frame.topLeft();
    pos.setX(std::clamp(pos.x(), avail.left(), std::max(avail.left(), avail.right() + 1 - frame.width())));
    pos.setY(std::clamp(pos.y(), avail.top(), std::max(avail.top(), avail.bottom() + 1 - frame.height())));
    if (pos != frame.topLeft()) {
        // Placed by its inside: a frame not yet known to the toolkit would
        // otherwise be taken as none.
        pDialog->setGeometry(QRect(pos + QPoint(margins.left(), margins.top()), pDialog->size()));
    }
}
