#include "app/dialogs/WindowMap.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

namespace {

constexpr int kPollMs = 100;
constexpr const char* kInfoProperty = "windowMapInfo";

QString Clean(QString text)
{
    return text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// A rectangle in the widget's coordinates to the screen's device pixels.
QString DeviceRect(const QWidget* pWidget, const QRect& local)
{
    const double dpr = pWidget->devicePixelRatioF();
    const QPoint topLeft = pWidget->mapToGlobal(local.topLeft());
    return QStringLiteral("%1\t%2\t%3\t%4")
        .arg(qRound(topLeft.x() * dpr))
        .arg(qRound(topLeft.y() * dpr))
        .arg(qRound(local.width() * dpr))
        .arg(qRound(local.height() * dpr));
}

QString ControlText(const QWidget* pWidget)
{
    if (const auto* pButton = qobject_cast<const QAbstractButton*>(pWidget)) {
        return pButton->text().isEmpty() ? pButton->toolTip() : pButton->text();
    }
    if (const auto* pCombo = qobject_cast<const QComboBox*>(pWidget)) {
        return pCombo->currentText();
    }
    if (const auto* pEdit = qobject_cast<const QLineEdit*>(pWidget)) {
        return pEdit->text();
    }
    if (const auto* pSlider = qobject_cast<const QSlider*>(pWidget)) {
        return QString::number(pSlider->value());
    }
    if (const auto* pLabel = qobject_cast<const QLabel*>(pWidget)) {
        return pLabel->text();
    }
    return QString();
}

// Whether a label's or a button's text is wider than the room it has.
bool IsClipped(const QWidget* pWidget)
{
    if (const auto* pLabel = qobject_cast<const QLabel*>(pWidget)) {
        return !pLabel->wordWrap() && pLabel->textFormat() != Qt::RichText &&
               pLabel->fontMetrics().horizontalAdvance(pLabel->text()) > pLabel->contentsRect().width();
    }
    if (const auto* pButton = qobject_cast<const QPushButton*>(pWidget)) {
        const int icon = pButton->icon().isNull() ? 0 : pButton->iconSize().width() + 4;
        return pButton->fontMetrics().horizontalAdvance(QString(pButton->text()).remove(QLatin1Char('&'))) + icon >
               pButton->width() - 4;
    }
    return false;
}

bool IsListed(const QWidget* pWidget)
{
    return qobject_cast<const QAbstractButton*>(pWidget) != nullptr ||
           qobject_cast<const QComboBox*>(pWidget) != nullptr ||
           qobject_cast<const QLineEdit*>(pWidget) != nullptr ||
           qobject_cast<const QSlider*>(pWidget) != nullptr ||
           (qobject_cast<const QLabel*>(pWidget) != nullptr && !pWidget->objectName().isEmpty()) ||
           pWidget->property(kInfoProperty).isValid();
}

void DescribeWindow(const QWidget* pTop, QString& out)
{
    const QString id = QString::number(pTop->winId());
    const double dpr = pTop->devicePixelRatioF();
    const QString topLine = QStringLiteral("window\t%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\n")
                                .arg(id, pTop->objectName(), QString::fromLatin1(pTop->metaObject()->className()),
                                     Clean(pTop->windowTitle()), DeviceRect(pTop, pTop->rect()))
                                .arg(pTop->isActiveWindow() ? 1 : 0)
                                .arg(qRound(pTop->minimumWidth() * dpr))
                                .arg(qRound(pTop->minimumHeight() * dpr));
    out += topLine;
    for (const QWidget* pChild : pTop->findChildren<QWidget*>()) {
        if (!pChild->isVisibleTo(pTop) || pChild->window() != pTop) {
            continue;
        }
        if (const auto* pTabs = qobject_cast<const QTabBar*>(pChild)) {
            // A tab widget's own bar goes by the tab widget's name.
            const QString name = qobject_cast<const QTabWidget*>(pTabs->parentWidget()) != nullptr
                                     ? pTabs->parentWidget()->objectName()
                                     : pTabs->objectName();
            for (int i = 0; i < pTabs->count(); ++i) {
                out += QStringLiteral("control\t%1\t%2:%3\tQTabBar\t%4\t%5\t%6\t\n")
                           .arg(id, name)
                           .arg(i)
                           .arg(Clean(pTabs->tabText(i)), DeviceRect(pTabs, pTabs->tabRect(i)))
                           .arg(pTabs->isTabEnabled(i) ? 1 : 0);
            }
            continue;
        }
        if (const auto* pView = qobject_cast<const QAbstractItemView*>(pChild); pView != nullptr && pView->model() != nullptr) {
            // A list's rows, each as its cells joined by '|', in the list's own line.
            const QAbstractItemModel* pModel = pView->model();
            QStringList rows;
            for (int r = 0; r < pModel->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < pModel->columnCount(); ++c) {
                    cells << pModel->index(r, c).data().toString();
                }
                rows << cells.join(QLatin1Char('|'));
            }
            out += QStringLiteral("control\t%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                       .arg(id, pView->objectName(), QString::fromLatin1(pView->metaObject()->className()),
                            QString::number(pModel->rowCount()), DeviceRect(pView, pView->rect()))
                       .arg(pView->isEnabled() ? 1 : 0)
                       .arg(Clean(rows.join(QLatin1Char(';'))));
            continue;
        }
        if (!IsListed(pChild)) {
            continue;
        }
        out += QStringLiteral("control\t%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                   .arg(id, pChild->objectName(), QString::fromLatin1(pChild->metaObject()->className()),
                        Clean(ControlText(pChild)), DeviceRect(pChild, pChild->rect()))
                   .arg(pChild->isEnabled() ? 1 : 0)
                   .arg(Clean(pChild->property(kInfoProperty).toString() +
                              (IsClipped(pChild) ? QStringLiteral(" clipped") : QString()) +
                              (pChild->visibleRegion().isEmpty() ? QStringLiteral(" scrolled") : QString())));
    }
}

} // namespace

CWindowMap::CWindowMap(QString path, QObject* pParent) : QObject(pParent), m_Path(std::move(path))
{
    connect(&m_Poll, &QTimer::timeout, this, [this] { Write(); });
    m_Poll.start(kPollMs);
}

QString CWindowMap::Describe()
{
    QString out;
    for (const QWidget* pTop : QApplication::topLevelWidgets()) {
        if (pTop->isVisible()) {
            DescribeWindow(pTop, out);
        }
    }
    return out;
}

void CWindowMap::Write()
{
    const QString now = Describe();
    if (now == m_Last) {
        return;
    }
    m_Last = now;
    QSaveFile file(m_Path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(now.toUtf8());
        file.commit();
    }
}
