#include "app/dialogs/SpinButtonCtrl.h"

#include "app/dialogs/NumberText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton* MakeArrow(QWidget* pParent, Qt::ArrowType arrow, const char* pName)
{
    auto* p = new QToolButton(pParent);
    p->setObjectName(QLatin1String(pName));
    p->setArrowType(arrow);
    p->setAutoRepeat(true);
    p->setFocusPolicy(Qt::NoFocus);
    p->setFixedSize(18, 12);
    return p;
}

} // namespace

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* pParent) : QWidget(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    m_pUp = MakeArrow(this, Qt::UpArrow, "up");
    m_pDown = MakeArrow(this, Qt::DownArrow, "down");
    pLayout->addWidget(m_pUp);
    pLayout->addWidget(m_pDown);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CSpinButtonCtrl::SetBuddy(QLineEdit* pBuddy)
{
    if (m_pBuddy != nullptr) {
        m_pBuddy->removeEventFilter(this);
    }
    m_pBuddy = pBuddy;
    if (m_pBuddy != nullptr) {
        m_pBuddy->installEventFilter(this);
    }
}

void CSpinButtonCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = std::min(nLower, nUpper);
    m_nUpper = std::max(nLower, nUpper);
}

void CSpinButtonCtrl::Step(int nDelta)
{
    if (m_pBuddy == nullptr || !isEnabled()) {
        return;
    }
    // In 64 bits so that a step from the end of the int range cannot wrap.
    const long long n = static_cast<long long>(ParseLeadingInt(m_pBuddy->text())) + nDelta;
    const long long nClamped = std::clamp<long long>(n, m_nLower, m_nUpper);
    m_pBuddy->setText(QString::number(nClamped));
}

bool CSpinButtonCtrl::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pBuddy && pEvent->type() == QEvent::KeyPress && isEnabled()) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Up || nKey == Qt::Key_Down) {
            Step(nKey == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
