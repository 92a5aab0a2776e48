#include "workflow/MainStatusBar.h"

#include "app/MultiLanguageTranslator.h"
#include "workflow/MainMetrics.h"
#include "workflow/MainStrings.h"

#include <QLabel>

#include <algorithm>

namespace {

// The frame rate's widest text, so its part does not jump as the rate changes.
const QString kWidestFpsText = QStringLiteral("  999.99 fps");
// The order in which parts give way on a narrow window: the empty last part,
// the frame counters, the calibration's name, the picture kind, the frame
// rate; the calibration value and the unit stay whole longest.
constexpr int kGiveWayOrder[STATUS_PART_COUNT] = {7, 3, 2, 4, 0, 1, 5, 6};
// The frame rate's part, as wide as its widest text whatever it shows.
constexpr int kFpsPart = 1;

} // namespace

CMainStatusBar::CMainStatusBar(QWidget* pParent, double dDisplayScale)
    : QWidget(pParent), m_dDisplayScale(dDisplayScale)
{
    setObjectName(QStringLiteral("statusBar"));
    for (int i = 0; i < STATUS_PART_COUNT; ++i) {
        auto* pPart = new QLabel(this);
        pPart->setObjectName(QStringLiteral("statusPart%1").arg(i));
        pPart->setFrameShape(QFrame::Panel);
        pPart->setFrameShadow(QFrame::Sunken);
        m_Parts[size_t(i)] = pPart;
    }
    m_Parts[2]->setText(QStringLiteral(" frames："));
    m_Parts[3]->setText(QStringLiteral(" bad frames："));
    m_Parts[5]->setText(QStringLiteral(" %1：").arg(GetProgramString(IDS_CALIBRATION_VALUE)));
    m_Parts[6]->setText(QStringLiteral(" %1：").arg(GetProgramString(IDS_UNIT_NAME)));
    m_pReadout = new QLabel(this);
    m_pReadout->setObjectName(QStringLiteral("statusPointer"));
    m_pReadout->setTextFormat(Qt::PlainText);
    m_pReadout->setFrameShape(QFrame::Panel);
    m_pReadout->setFrameShadow(QFrame::Sunken);
}

int CMainStatusBar::PartNeed(int nPart) const
{
    const QLabel* pPart = m_Parts[size_t(nPart)];
    ++m_nMeasured;
    const QString text = nPart == kFpsPart ? kWidestFpsText : pPart->text();
    // Frame, margins and a little air on each side of the text.
    return pPart->fontMetrics().horizontalAdvance(text) + 2 * pPart->frameWidth() + Scaled(10, m_dDisplayScale);
}

void CMainStatusBar::Layout(int nWidth, int nWindowHeight)
{
    // Each part as wide as its text; the last one takes what is left. A
    // window too narrow for all of them takes the room from the parts in
    // kGiveWayOrder, each down to a sliver before the next gives way.
    std::array<int, STATUS_PART_COUNT> widths{};
    int total = 0;
    for (int i = 0; i < STATUS_PART_COUNT - 1; ++i) {
        widths[size_t(i)] = PartNeed(i);
        total += widths[size_t(i)];
    }
    widths[STATUS_PART_COUNT - 1] = std::max(0, nWidth - total);
    total += widths[STATUS_PART_COUNT - 1];
    const int sliver = Scaled(16, m_dDisplayScale);
    for (const int nPart : kGiveWayOrder) {
        if (total <= nWidth) {
            break;
        }
        int& w = widths[size_t(nPart)];
        const int give = std::min(total - nWidth, std::max(0, w - sliver));
        w -= give;
        total -= give;
    }
    setGeometry(0, nWindowHeight - kStatusHeight, nWidth, kStatusHeight);
    int left = 0;
    for (int i = 0; i < STATUS_PART_COUNT; ++i) {
        m_Parts[size_t(i)]->setGeometry(left, kStatusRowHeight, std::max(0, widths[size_t(i)] - 2), kStatusRowHeight);
        left += widths[size_t(i)];
        m_Fitted[size_t(i)] = m_Parts[size_t(i)]->text();
    }
    m_pReadout->setGeometry(0, 0, std::max(0, nWidth - 2), kStatusRowHeight);
    m_bLaidOut = true;
}

bool CMainStatusBar::MayOutgrow(const QString& fitted, const QString& text)
{
    if (text.size() > fitted.size()) {
        return true;
    }
    // A user-interface font draws its digits alike wide: a count that keeps
    // its length keeps its width.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != fitted[i] && !(text[i].isDigit() && fitted[i].isDigit())) {
            return true;
        }
    }
    return false;
}

void CMainStatusBar::SetPointerReadout(const QString& text)
{
    // Changes with every move of the mouse: only this label repaints, and
    // its row is the bar's whole width, so nothing is measured.
    if (m_pReadout->text() != text) {
        m_pReadout->setText(text);
    }
}

void CMainStatusBar::SetStatusPart(int nPart, const QString& text)
{
    if (nPart < 0 || nPart >= STATUS_PART_COUNT || m_Parts[size_t(nPart)]->text() == text) {
        return;
    }
    QLabel* pPart = m_Parts[size_t(nPart)];
    pPart->setText(text);
    // Measuring a text is dear next to the ten changes a second of the
    // counters: only a text that may be wider than one that fitted is.
    if (!m_bLaidOut || nPart == kFpsPart || !MayOutgrow(m_Fitted[size_t(nPart)], text)) {
        return;
    }
    // A text wider than its part makes room for itself.
    if (PartNeed(nPart) > pPart->width() + 2) {
        Layout(width(), y() + kStatusHeight);
    } else {
        m_Fitted[size_t(nPart)] = text;
    }
}

QString CMainStatusBar::GetStatusPartText(int nPart) const
{
    if (nPart < 0 || nPart >= STATUS_PART_COUNT) {
        return QString();
    }
    return m_Parts[size_t(nPart)]->text();
}
