#include "app/dialogs/WindowMap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QSlider>
#include <QTabBar>
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
    const QString topLine = QStringLiteral("window\t%1\t%2\t%3\t%4\t%5\t%6\n")
                                .arg(id, pTop->objectName(), QString::fromLatin1(pTop->metaObject()->className()),
                                     Clean(pTop->windowTitle()), DeviceRect(pTop, pTop->rect()))
                                .arg(pTop->isActiveWindow() ? 1 : 0);
    out += topLine;
    for (const QWidget* pChild : pTop->findChildren<QWidget*>()) {
        if (!pChild->isVisibleTo(pTop) || pChild->window() != pTop) {
            continue;
        }
        if (const auto* pTabs = qobject_cast<const QTabBar*>(pChild)) {
            for (int i = 0; i < pTabs->count(); ++i) {
                out += QStringLiteral("control\t%1\t%2:%3\tQTabBar\t%4\t%5\t%6\t\n")
                           .arg(id, pTabs->objectName())
                           .arg(i)
                           .arg(Clean(pTabs->tabText(i)), DeviceRect(pTabs, pTabs->tabRect(i)))
                           .arg(pTabs->isTabEnabled(i) ? 1 : 0);
            }
            continue;
        }
        if (!IsListed(pChild)) {
            continue;
        }
        out += QStringLiteral("control\t%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                   .arg(id, pChild->objectName(), QString::fromLatin1(pChild->metaObject()->className()),
                        Clean(ControlText(pChild)), DeviceRect(pChild, pChild->rect()))
                   .arg(pChild->isEnabled() ? 1 : 0)
                   .arg(Clean(pChild->property(kInfoProperty).toString()));
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
