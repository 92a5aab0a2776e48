// The program's file and folder dialogs: Qt's own, behind the provider that
// CQSFileAccess asks, so tests can answer in their place.
#pragma once

#include "app/QSFileAccess.h"

#include <QString>

// "BMP File (*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg||" -> "BMP File (*.bmp);;JPEG File (*.jpg)".
// Each entry shows its own patterns, whatever its description says.
QString QtFileFilter(const QString& filter);

class CQtFileDialogProvider : public IFileDialogProvider {
public:
    QString SelectFile(BOOL bOpen, const QString& defExt, const QString& initialFolder, const QString& filter,
                       BOOL bOverwritePrompt) override;
    QString SelectFolder(const QString& initialFolder) override;
};
