#include "workflow/measure/report/MeasureReport.h"

#include "app/LogFile.h"
#include "image/QImageJpeg.h"
#include "workflow/measure/report/PdfImageSwap.h"
#include "workflow/measure/report/PdfTextMapping.h"
#include "workflow/measure/ReportTexts.h"
#include "workflow/measure/SummaryRows.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>

#include <algorithm>

namespace {

// Device units per point: fine enough that text placement does not round.
constexpr int kResolution = 288;
constexpr qreal kUnit = kResolution / 72.0;
constexpr qreal kMargin = 42.0 * kUnit; // about 15 mm
constexpr qreal kBodyPt = 9.0;
constexpr qreal kTitlePt = 15.0;
constexpr qreal kPictureShare = 0.48; // of the page's height at most
// The report's face; the CJK family holds the Japanese and Latin glyphs alike.
const QString kFontFamily = QStringLiteral("Noto Sans CJK JP");

// Column shares of the results table and of the summary table.
constexpr qreal kResultColumns[] = {0.10, 0.50, 0.25, 0.15};
constexpr qreal kSummaryColumns[] = {0.26, 0.09, 0.14, 0.14, 0.13, 0.13, 0.11};

// One face only (sizes apart): each face embedded costs a scan of its whole
// character map.
QFont ReportFont(qreal dPt)
{
    QFont f(kFontFamily);
    f.setPointSizeF(dPt);
    // Shaped Latin runs take alternate digit glyphs the embedded font's
    // Unicode map does not name, so digits after letters would be lost to
    // search and copy; the plain glyphs look the same.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// One line of the report below the picture: a heading, or a table row.
struct REPORT_LINE {
    enum Kind { Heading, TableHead, Row } kind;
    QStringList texts;
    const qreal* pColumns;
    int nPage = 0;
    qreal dTop = 0.0;
};

class CReportPainter {
public:
    // pStandIn: drawn where the picture goes, to be swapped for its JPEG.
    CReportPainter(QPdfWriter& writer, QPainter& painter, const REPORT_CONTENT& content, const QImage* pStandIn)
        : m_Writer(writer), m_Painter(painter), m_Content(content), m_pStandIn(pStandIn)
    {
        const QRect page = writer.pageLayout().fullRectPixels(kResolution);
        m_Page = QRectF(page);
        m_Body = m_Page.adjusted(kMargin, kMargin, -kMargin, -kMargin - 2 * LineHeight());
    }

    void Paint()
    {
        qreal y = PaintFirstPageTop();
        BuildLines();
        const int nPages = Paginate(y);
        int nPage = 0;
        PaintPageNumber(0, nPages);
        for (const REPORT_LINE& line : m_Lines) {
            if (line.nPage != nPage) {
                m_Writer.newPage();
                nPage = line.nPage;
                PaintPageNumber(nPage, nPages);
            }
            PaintLine(line);
        }
    }

private:
    qreal LineHeight() const { return kBodyPt * 1.7 * kUnit; }

    // Title, what the picture is, and the picture: the top of page one.
    qreal PaintFirstPageTop()
    {
        const REPORT_HEADER& h = m_Content.header;
        qreal y = m_Body.top();
        m_Painter.setFont(ReportFont(kTitlePt));
        const qreal dTitle = kTitlePt * 1.6 * kUnit;
        m_Painter.drawText(QRectF(m_Body.left(), y, m_Body.width(), dTitle), Qt::AlignLeft | Qt::AlignVCenter,
                           ReportText(report_text::kTitle));
        y += dTitle;
        const QSize pictureSize = PictureSize();
        const QString size = QStringLiteral("%1 x %2").arg(pictureSize.width()).arg(pictureSize.height());
        QStringList lines;
        lines << Label(report_text::kDate) + h.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!h.cameraName.isEmpty()) {
            lines << Label(report_text::kCamera) + h.cameraName + QStringLiteral("    ") + Label(report_text::kSerial) +
                         h.cameraSerial + QStringLiteral("    ") + Label(report_text::kResolution) + size;
        } else {
            lines << Label(report_text::kImageFile) + h.imageFileName + QStringLiteral("    ") +
                         Label(report_text::kResolution) + size;
        }
        lines << Label(report_text::kCalibration) + h.calibrationName + QStringLiteral("    ") + h.calibrationValue;
        m_Painter.setFont(ReportFont(kBodyPt));
        for (const QString& line : lines) {
            m_Painter.drawText(QRectF(m_Body.left(), y, m_Body.width(), LineHeight()), Qt::AlignLeft | Qt::AlignVCenter,
                               line);
            y += LineHeight();
        }
        y += LineHeight() / 2;
        if (!pictureSize.isEmpty()) {
            QSizeF fit = QSizeF(pictureSize);
            fit.scale(QSizeF(m_Body.width(), m_Page.height() * kPictureShare), Qt::KeepAspectRatio);
            const QRectF target(m_Body.left() + (m_Body.width() - fit.width()) / 2, y, fit.width(), fit.height());
            m_Painter.setRenderHint(QPainter::LosslessImageRendering, m_Content.nJpegQuality <= 0);
            m_Painter.drawImage(target, m_pStandIn != nullptr ? *m_pStandIn : m_Content.picture);
            y += fit.height() + LineHeight() / 2;
        }
        return y;
    }

    QSize PictureSize() const
    {
        return m_Content.jpeg.pData != nullptr ? QSize(m_Content.jpeg.nWidth, m_Content.jpeg.nHeight)
                                               : m_Content.picture.size();
    }

    static QString Label(const char* pszText) { return ReportText(pszText) + QStringLiteral(": "); }

    void BuildLines()
    {
        const auto add = [this](REPORT_LINE::Kind kind, const QStringList& texts, const qreal* pColumns) {
            m_Lines.push_back(REPORT_LINE{kind, texts, pColumns});
        };
        add(REPORT_LINE::Heading, {ReportText(report_text::kResults)}, nullptr);
        add(REPORT_LINE::TableHead, m_Content.resultHeadings, kResultColumns);
        for (const QStringList& row : m_Content.results) {
            add(REPORT_LINE::Row, row, kResultColumns);
        }
        if (!m_Content.summary.empty()) {
            add(REPORT_LINE::Heading, {ReportText(report_text::kSummary)}, nullptr);
            add(REPORT_LINE::TableHead, m_Content.summaryHeadings, kSummaryColumns);
            for (const QStringList& row : m_Content.summary) {
                add(REPORT_LINE::Row, row, kSummaryColumns);
            }
        }
    }

    // Places every line, page after page: a heading never stands alone at a
    // page's foot, and a table going on over a new page repeats its heading
    // row there.
    int Paginate(qreal y)
    {
        int nPage = 0;
        const qreal h = LineHeight();
        std::vector<REPORT_LINE> placed;
        placed.reserve(m_Lines.size() + 16);
        const auto place = [&](const REPORT_LINE& line) {
            placed.push_back(line);
            placed.back().nPage = nPage;
            placed.back().dTop = y;
            y += line.kind == REPORT_LINE::Heading ? h * 1.3 : h;
        };
        const REPORT_LINE* pTableHead = nullptr;
        for (const REPORT_LINE& line : m_Lines) {
            const bool bHeading = line.kind != REPORT_LINE::Row;
            if (y + (bHeading ? 3 * h : h) > m_Body.bottom()) {
                ++nPage;
                y = m_Body.top();
                if (!bHeading && pTableHead != nullptr) {
                    place(*pTableHead);
                }
            }
            if (line.kind == REPORT_LINE::TableHead) {
                pTableHead = &line;
            }
            place(line);
        }
        m_Lines = std::move(placed);
        return nPage + 1;
    }

    void PaintPageNumber(int nPage, int nPages)
    {
        m_Painter.setFont(ReportFont(kBodyPt));
        const QRectF foot(m_Body.left(), m_Page.bottom() - kMargin - LineHeight(), m_Body.width(), LineHeight());
        m_Painter.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter,
                           ReportText(report_text::kPage).arg(nPage + 1).arg(nPages));
    }

    void PaintLine(const REPORT_LINE& line)
    {
        const qreal h = LineHeight();
        if (line.kind == REPORT_LINE::Heading) {
            m_Painter.setFont(ReportFont(kBodyPt + 2));
            m_Painter.drawText(QRectF(m_Body.left(), line.dTop, m_Body.width(), h * 1.3),
                               Qt::AlignLeft | Qt::AlignVCenter, line.texts.value(0));
            return;
        }
        const bool bHead = line.kind == REPORT_LINE::TableHead;
        if (bHead) {
            m_Painter.fillRect(QRectF(m_Body.left(), line.dTop, m_Body.width(), h), QColor(225, 225, 225));
        }
        m_Painter.setPen(QPen(QColor(160, 160, 160), 0.5 * kUnit));
        m_Painter.drawLine(QPointF(m_Body.left(), line.dTop + h), QPointF(m_Body.right(), line.dTop + h));
        m_Painter.setPen(Qt::black);
        qreal x = m_Body.left();
        for (int c = 0; c < line.texts.size(); ++c) {
            const qreal w = line.pColumns[c] * m_Body.width();
            PaintCell(QRectF(x, line.dTop, w, h), line.texts[c]);
            x += w;
        }
    }

    // A text too wide for its column is set smaller rather than cut, so the
    // report holds every character of it.
    void PaintCell(const QRectF& cell, const QString& text)
    {
        const QRectF inner = cell.adjusted(2 * kUnit, 0, -2 * kUnit, 0);
        const qreal dWidth = m_BodyMetrics.horizontalAdvance(text);
        if (dWidth > inner.width() && dWidth > 0) {
            m_Painter.setFont(ReportFont(std::max(3.0, kBodyPt * inner.width() / dWidth)));
        } else if (m_Painter.font() != m_BodyFont) {
            m_Painter.setFont(m_BodyFont);
        }
        m_Painter.drawText(inner, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

    QPdfWriter& m_Writer;
    QPainter& m_Painter;
    const REPORT_CONTENT& m_Content;
    const QImage* m_pStandIn;
    const QFont m_BodyFont = ReportFont(kBodyPt);
    const QFontMetricsF m_BodyMetrics{m_BodyFont, &m_Writer};
    QRectF m_Page;
    QRectF m_Body; // inside the margins, above the page number
    std::vector<REPORT_LINE> m_Lines;
};

// The whole PDF in memory; pJpeg, when given, replaces the stand-in.
bool PaintReport(const REPORT_CONTENT& content, const image::ENCODED_JPEG* pJpeg, QByteArray& pdf)
{
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    const QImage standIn = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        img.fill(Qt::gray);
        return img;
    }();
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(ReportText(report_text::kTitle));
        writer.setCreator(QStringLiteral("Pixmetra"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return false;
        }
        CReportPainter(writer, painter, content, pJpeg != nullptr ? &standIn : nullptr).Paint();
        painter.end();
    }
    // The text maps before the picture, whose bytes are then never searched; a
    // map left as Qt wrote it still reads, only some ideographs as radicals.
    MendTextMaps(pdf, IdeographOfSharedGlyph(QRawFont::fromFont(ReportFont(kBodyPt))));
    return pJpeg == nullptr || SwapSoleImage(pdf, *pJpeg);
}

} // namespace

bool WriteMeasureReport(const QString& path, const REPORT_CONTENT& content)
{
    WriteLog(QStringLiteral("[MAIN]WriteMeasureReport()"));
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        WriteLog(QStringLiteral("[MAIN]WriteMeasureReport() Open File Error! %1").arg(file.errorString()));
        return false;
    }
    // The picture goes in as a JPEG at the user's quality, encoded here;
    // should that fail, Qt encodes it itself.
    static thread_local image::CJpegEncoder encoder;
    image::ENCODED_JPEG jpeg = content.jpeg;
    const bool bOwnJpeg = jpeg.pData != nullptr || (content.nJpegQuality > 0 && !content.picture.isNull() &&
                                                    image::EncodeQImageJpeg(encoder, content.picture, content.nJpegQuality, jpeg));
    QByteArray pdf;
    if (!PaintReport(content, bOwnJpeg ? &jpeg : nullptr, pdf) && !(bOwnJpeg && PaintReport(content, nullptr, pdf))) {
        file.cancelWriting();
        WriteLog(QStringLiteral("[MAIN]WriteMeasureReport() Paint Error!"));
        return false;
    }
    if (file.write(pdf) != pdf.size() || !file.commit()) {
        WriteLog(QStringLiteral("[MAIN]WriteMeasureReport() Write Error! %1").arg(file.errorString()));
        return false;
    }
    return true;
}
