// Reading a written PDF back with poppler's and qpdf's command-line tools.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace pdftools {

struct RUN {
    int nExit = -1;
    QString out;
};

inline RUN Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    RUN r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.nExit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    return r;
}

// The text with its layout kept, so a table row stays on one line; exactly as
// a reader copies it, so an ideograph read back as the radical of the same
// shape (角 as ⾓) is a fault.
inline QString Text(const QString& pdftotext, const QString& path)
{
    return Run(pdftotext, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                           QStringLiteral("-")})
        .out;
}

// Width and height of every image the pages draw.
inline std::vector<QSize> ImageSizes(const QString& pdfimages, const QString& path)
{
    std::vector<QSize> sizes;
    const QStringList lines = Run(pdfimages, {QStringLiteral("-list"), path}).out.split(QLatin1Char('\n'));
    static const QRegularExpression row(QStringLiteral("^\\s*\\d+\\s+\\d+\\s+\\w+\\s+(\\d+)\\s+(\\d+)\\s"));
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch()) {
            sizes.emplace_back(m.captured(1).toInt(), m.captured(2).toInt());
        }
    }
    return sizes;
}

// A line holding the texts in this order, each standing apart from the rest.
inline bool HasRow(const QString& text, const QStringList& fields)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        qsizetype nFrom = 0;
        bool bAll = true;
        for (const QString& f : fields) {
            if (f.isEmpty()) {
                continue;
            }
            const qsizetype at = line.indexOf(f, nFrom);
            const bool bApart = at >= 0 && (at == 0 || line[at - 1].isSpace()) &&
                                (at + f.size() == line.size() || line[at + f.size()].isSpace());
            if (!bApart) {
                bAll = false;
                break;
            }
            nFrom = at + f.size();
        }
        if (bAll) {
            return true;
        }
    }
    return false;
}

} // namespace pdftools
