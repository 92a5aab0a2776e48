// A dialog taller than its screen: its pages scroll up and down, it fits the
// screen, and the pages' scroll bars do not make them scroll sideways too.
#include "app/dialogs/FitToScreen.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A page as wide as nWidth and twice the screen's height.
QWidget* TallPage(int nWidth)
{
    auto* pPage = new QWidget;
    auto* pColumn = new QVBoxLayout(pPage);
    auto* pBody = new QWidget;
    pBody->setMinimumSize(nWidth, QGuiApplication::primaryScreen()->availableGeometry().height() * 2);
    pColumn->addWidget(pBody);
    return pPage;
}

} // namespace

TEST(FitToScreen, ATallDialogScrollsItsPagesDownOnlyAndFitsTheScreen)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    QDialog dialog;
    auto* pTabs = new QTabWidget;
    pTabs->addTab(TallPage(avail.width() / 2), QStringLiteral("one"));
    pTabs->addTab(TallPage(avail.width() / 3), QStringLiteral("two"));
    (new QVBoxLayout(&dialog))->addWidget(pTabs);
    dialog.adjustSize();

    FitSizeToScreen(&dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_LE(dialog.frameGeometry().height(), avail.height());
    EXPECT_LE(dialog.frameGeometry().width(), avail.width());
    for (int i = 0; i < pTabs->count(); ++i) {
        pTabs->setCurrentIndex(i);
        auto* pArea = qobject_cast<QScrollArea*>(pTabs->widget(i));
        ASSERT_NE(pArea, nullptr) << "page " << i << " does not scroll";
        QTest::qWait(0);
        EXPECT_GT(pArea->verticalScrollBar()->maximum(), 0) << "page " << i;
        EXPECT_EQ(pArea->horizontalScrollBar()->maximum(), 0) << "page " << i << " scrolls sideways";
    }
}
