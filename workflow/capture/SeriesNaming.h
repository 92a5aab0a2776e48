// Names of a continuous-save series: numbered and dated subfolders, the
// numbered file names, the highest number already in a folder, and the
// folder, title and type a chosen file stands for. Plain functions on paths,
// so they run without any window.
#pragma once

#include <QDateTime>
#include <QString>

constexpr int SERIES_NUMBER_MAX = 9999;

// The leading decimal integer of text by the C library rule (leading blanks,
// an optional sign, then digits; 0 when there are none).
long LeadingInteger(const QString& text);

// The highest folder number directly inside folder: the leading integer of
// each subfolder name, values above 9999 ignored; 0 when there is none.
int HighestFolderNumber(const QString& folder);
// The highest file number in folder for a title ("T_0007.jpg") or without
// one ("0007.jpg"); nFileType 1 is jpg, anything else bmp.
int HighestFileNumber(const QString& folder, const QString& title, int nFileType);

QString SeriesFileExt(int nFileType);
// "0001.jpg", or "T_0001.jpg" with a title.
QString SeriesFileName(int nNumber, const QString& title, int nFileType);
// "0008".
QString NumberedSubFolderName(int nNumber);
// "20261207-121314"; when a folder of that name already exists in parent,
// "-2", "-3", ... is appended, so two series started within one second get
// their own folders.
QString DatedSubFolderName(const QString& parent, const QDateTime& time);

// Joins folder parts with exactly one separator between them; a part may
// end with '/' or '\\' (the folder texts of the settings do).
QString JoinSeriesPath(const QString& folder, const QString& part);
QString JoinSeriesPath(const QString& folder, const QString& sub, const QString& name);

// What a file chosen in the series' save dialog stands for: its folder, its
// name without extension as the file title, and the file type (0 for a bmp
// extension in any case, 1 for every other).
struct SERIES_FILE_CHOICE {
    QString folder;
    QString title;
    int nFileType = 1;
};
SERIES_FILE_CHOICE ParseSeriesFileChoice(const QString& path);
