// The measurement report: a PDF holding the picture with its overlays, what
// it was taken with, the results as the list shows them and their summary
// figures, page-numbered. It takes finished texts and a finished picture, so
// it knows nothing of the windows.
#pragma once

#include "image/EncodedJpeg.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

struct REPORT_HEADER {
    QString calibrationName;
    QString calibrationValue; // value per pixel with its unit, as written
    QDateTime when;
    // The camera the picture came from, or else the picture file's name.
    QString cameraName;
    QString cameraSerial;
    QString imageFileName;
};

struct REPORT_CONTENT {
    // The picture at its full pixel size, fitted to the page: already
    // encoded (pData set), or else picture, encoded here at nJpegQuality
    // (1..100; 0 embeds it losslessly).
    image::ENCODED_JPEG jpeg;
    QImage picture;
    int nJpegQuality;
    REPORT_HEADER header;
    QStringList resultHeadings;
    std::vector<QStringList> results;
    QStringList summaryHeadings;
    std::vector<QStringList> summary;
};

// Written through a temporary file beside path and a rename: either the
// whole report is there or the file under the name is as it was. False when
// it could not be written.
bool WriteMeasureReport(const QString& path, const REPORT_CONTENT& content);
