// The program's own file dialogs: the filters the program passes reach Qt in
// Qt's form, and a save dialog gives the chosen path with its default suffix.
#include "app/dialogs/FileDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

TEST(FileDialog, FiltersOfTheProgramBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilter(CQSFileAccess::DefaultFilter(QStringLiteral("csv"))), QStringLiteral("csv File (*.csv)"));
    EXPECT_EQ(QtFileFilter(CQSFileAccess::ImageFilter(FALSE, 0)), QStringLiteral("Image File (*.bmp *.jpg)"));
    EXPECT_EQ(QtFileFilter(CQSFileAccess::ImageFilter(TRUE, 1)),
              QStringLiteral("JPEG File (*.jpg);;BMP File (*.bmp)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Calibration (*.clb)|*.clb||")), QStringLiteral("Calibration (*.clb)"));
    EXPECT_EQ(QtFileFilter(QString()), QString());
}

TEST(FileDialog, SaveDialogAddsTheDefaultSuffixAndCancelGivesNothing)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    CQtFileDialogProvider provider;
    // Answers the dialog once it is up: a name typed and accepted, or rejected.
    auto answer = [](const QString& name) {
        auto* pTimer = new QTimer;
        pTimer->setInterval(20);
        QObject::connect(pTimer, &QTimer::timeout, [pTimer, name] {
            QFileDialog* pDialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QFileDialog*>(w); d != nullptr && d->isVisible()) {
                    pDialog = d;
                }
            }
            if (pDialog == nullptr) {
                return;
            }
            pTimer->stop();
            pTimer->deleteLater();
            if (name.isEmpty()) {
                pDialog->reject();
                return;
            }
            pDialog->selectFile(name);
            static_cast<QDialog*>(pDialog)->accept();
        });
        pTimer->start();
    };
    answer(QStringLiteral("results"));
    const QString chosen = provider.SelectFile(FALSE, QStringLiteral("csv"), tmp.path(),
                                               CQSFileAccess::DefaultFilter(QStringLiteral("csv")), TRUE);
    EXPECT_EQ(QDir::cleanPath(chosen), QDir::cleanPath(tmp.filePath(QStringLiteral("results.csv"))));
    answer(QString());
    EXPECT_TRUE(provider.SelectFile(TRUE, QStringLiteral("clb"), tmp.path(), QString(), FALSE).isEmpty());
}
