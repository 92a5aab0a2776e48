// The program's own file dialogs: the filters the program passes reach Qt in
// Qt's form.
#include "app/dialogs/FileDialog.h"

#include <gtest/gtest.h>

TEST(FileDialog, FiltersOfTheProgramBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilter(CQSFileAccess::DefaultFilter(QStringLiteral("csv"))), QStringLiteral("csv File (*.csv)"));
    EXPECT_EQ(QtFileFilter(CQSFileAccess::ImageFilter(FALSE, 0)), QStringLiteral("Image File (*.bmp *.jpg *.jpeg *.png *.tif *.tiff)"));
    EXPECT_EQ(QtFileFilter(CQSFileAccess::ImageFilter(TRUE, 1)),
              QStringLiteral("JPEG File (*.jpg);;BMP File (*.bmp)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Calibration (*.clb)|*.clb||")), QStringLiteral("Calibration (*.clb)"));
    EXPECT_EQ(QtFileFilter(QString()), QString());
}
