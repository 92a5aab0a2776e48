#include "app/dialogs/FileDialog.h"

#include "app/dialogs/KeepAbove.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

QString QtFileFilter(const QString& filter)
{
    // Pairs of description and patterns; the doubled bar ends the list.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty()) {
            break;
        }
        const qsizetype open = description.indexOf(QLatin1Char('('));
        if (open >= 0) {
            description = description.left(open).trimmed();
        }
        QString qtPatterns = patterns;
        qtPatterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(description, qtPatterns);
    }
    return entries.join(QStringLiteral(";;"));
}

QString CQtFileDialogProvider::SelectFile(BOOL bOpen, const QString& defExt, const QString& initialFolder,
                                          const QString& filter, BOOL bOverwritePrompt)
{
    QFileDialog dialog(QApplication::activeWindow(), QString(), initialFolder, QtFileFilter(filter));
    dialog.setAcceptMode(bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defExt);
    KeepModalAbove(dialog);
    if (!bOverwritePrompt) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

QString CQtFileDialogProvider::SelectFolder(const QString& initialFolder)
{
    QFileDialog dialog(QApplication::activeWindow(), QString(), initialFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    KeepModalAbove(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}
