#include "workflow/capture/SeriesNaming.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

QString TrimTrailingSeparators(const QString& path)
{
    qsizetype n = path.size();
    // A lone root ("/") stays.
    while (n > 1 && IsSeparator(path.at(n - 1))) {
        --n;
    }
    return path.left(n);
}

QString TrimLeadingSeparators(const QString& part)
{
    qsizetype n = 0;
    while (n < part.size() && IsSeparator(part.at(n))) {
        ++n;
    }
    return part.mid(n);
}

int NumberNotAbove(long n)
{
    return (n > 0 && n <= SERIES_NUMBER_MAX) ? int(n) : 0;
}

} // namespace

long LeadingInteger(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace()) {
        ++i;
    }
    bool bNegative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        bNegative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long n = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        // Saturates: a long run of digits is above every limit anyway.
        n = std::min<long>(n * 10 + (text.at(i).unicode() - '0'), 1000000000L);
    }
    return bNegative ? -n : n;
}

int HighestFolderNumber(const QString& folder)
{
    const QStringList names = QDir(TrimTrailingSeparators(folder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    int nMax = 0;
    for (const QString& name : names) {
        nMax = std::max(nMax, NumberNotAbove(LeadingInteger(name)));
    }
    return nMax;
}

QString SeriesFileExt(int nFileType)
{
    return nFileType == 1 ? QStringLiteral("jpg") : QStringLiteral("bmp");
}

int HighestFileNumber(const QString& folder, const QString& title, int nFileType)
{
    const QString ext = SeriesFileExt(nFileType);
    const QString pattern = title.isEmpty() ? QStringLiteral("*.") + ext : title + QStringLiteral("_*.") + ext;
    const QStringList names = QDir(TrimTrailingSeparators(folder)).entryList(QStringList{pattern}, QDir::Files | QDir::Hidden);
    int nMax = 0;
    for (const QString& name : names) {
        // Wildcards aside, the title must match exactly (the listing ignores case on some systems).
        if (!title.isEmpty() && !name.startsWith(title + QLatin1Char('_'))) {
            continue;
        }
        QString stem = name.left(name.size() - ext.size() - 1);
        if (!title.isEmpty()) {
            stem = stem.mid(title.size() + 1);
        }
        nMax = std::max(nMax, NumberNotAbove(LeadingInteger(stem)));
    }
    return nMax;
}

QString SeriesFileName(int nNumber, const QString& title, int nFileType)
{
    const QString name = QStringLiteral("%1.%2").arg(nNumber, 4, 10, QLatin1Char('0')).arg(SeriesFileExt(nFileType));
    return title.isEmpty() ? name : title + QLatin1Char('_') + name;
}

QString NumberedSubFolderName(int nNumber)
{
    return QStringLiteral("%1").arg(nNumber, 4, 10, QLatin1Char('0'));
}

QString DatedSubFolderName(const QString& parent, const QDateTime& time)
{
    const QString base = time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(JoinSeriesPath(parent, name)); ++n) {
        name = base + QStringLiteral("-%1").arg(n);
    }
    return name;
}

QString JoinSeriesPath(const QString& folder, const QString& part)
{
    const QString tail = TrimTrailingSeparators(TrimLeadingSeparators(part));
    if (folder.isEmpty()) {
        return tail;
    }
    if (tail.isEmpty()) {
        return TrimTrailingSeparators(folder);
    }
    QString head = TrimTrailingSeparators(folder);
    if (!IsSeparator(head.back())) {
        head += QLatin1Char('/');
    }
    return head + tail;
}

QString JoinSeriesPath(const QString& folder, const QString& sub, const QString& name)
{
    return JoinSeriesPath(JoinSeriesPath(folder, sub), name);
}

SERIES_FILE_CHOICE ParseSeriesFileChoice(const QString& path)
{
    const QFileInfo fi(path);
    SERIES_FILE_CHOICE choice;
    choice.folder = fi.path();
    choice.title = fi.completeBaseName();
    choice.nFileType = fi.suffix().toLower() == QLatin1String("bmp") ? 0 : 1;
    return choice;
}
