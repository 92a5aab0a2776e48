#include "DialogFixture.h"

#include "app/dialogs/FontComboBox.h"
#include "app/dialogs/SelectFontDlg.h"
#include "app/dialogs/SetTextDlg.h"
#include "engine/RgnData.h"

#include <QComboBox>
#include <QToolButton>

namespace {

QString Repeat(const QString& piece, int n)
{
    QString s;
    for (int i = 0; i < n; ++i) {
        s += piece;
    }
    return s;
}

QColor SwatchColor(const CSetTextDlg& dlg)
{
    auto* p = qobject_cast<QToolButton*>(dlg.GetDlgItem(CSetTextDlg::IDC_STATIC_TEXT_COLOR));
    return p != nullptr ? p->palette().color(QPalette::ButtonText) : QColor();
}

const QString kGrinning = QString::fromUcs4(U"\U0001F600");

} // namespace

// The annotation record's text field decides how many UTF-16 units fit.
static_assert(CSetTextDlg::kMaxUnits == MAX_TEXT_LEN);

TEST_F(DialogTest, TextDialogCountsCharactersAsSeen)
{
    EXPECT_EQ(CSetTextDlg::CountCharacters(QString()), 0);
    EXPECT_EQ(CSetTextDlg::CountCharacters(QStringLiteral("計測abc")), 5);
    EXPECT_EQ(CSetTextDlg::CountCharacters(QStringLiteral("a") + kGrinning + QStringLiteral("b")), 3);
    // A lone half of a pair is still one character.
    EXPECT_EQ(CSetTextDlg::CountCharacters(QString(QChar(0xD800)) + QStringLiteral("x")), 2);

    CSetTextDlg dlg;
    dlg.m_FontName = QStringLiteral("Sans");
    dlg.m_nFontPt = 12;
    dlg.m_Color = RGB(255, 0, 0);
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("テキスト設定"));
    EXPECT_EQ(Text(dlg, CSetTextDlg::IDC_EDIT_FONT_NAME), QStringLiteral("Sans"));
    EXPECT_EQ(Text(dlg, CSetTextDlg::IDC_EDIT_FONT_SIZE), QStringLiteral("12"));
    EXPECT_TRUE(Item<QLineEdit>(dlg, CSetTextDlg::IDC_EDIT_FONT_NAME)->isReadOnly());
    EXPECT_TRUE(Item<QLineEdit>(dlg, CSetTextDlg::IDC_EDIT_FONT_SIZE)->isReadOnly());
    EXPECT_EQ(SwatchColor(dlg), QColor(255, 0, 0));

    Click(dlg, CSetTextDlg::IDC_OK);
    ExpectOneBox(616, MB_ICONERROR);
    EXPECT_TRUE(dlg.isVisible());

    // 51 Japanese characters are too many; so are 51 with pairs among them.
    const QString fifty = Repeat(QStringLiteral("計"), 50);
    Item<QLineEdit>(dlg, CSetTextDlg::IDC_EDIT_TEXT)->setText(fifty + QStringLiteral("測"));
    Click(dlg, CSetTextDlg::IDC_OK);
    ExpectOneBox(625, MB_ICONERROR);
    Item<QLineEdit>(dlg, CSetTextDlg::IDC_EDIT_TEXT)->setText(Repeat(kGrinning, 10) + Repeat(QStringLiteral("a"), 41));
    Click(dlg, CSetTextDlg::IDC_OK);
    ExpectOneBox(625, MB_ICONERROR);
    // 50 characters of pairs would need 100 units, more than a note holds.
    Item<QLineEdit>(dlg, CSetTextDlg::IDC_EDIT_TEXT)->setText(Repeat(kGrinning, 50));
    Click(dlg, CSetTextDlg::IDC_OK);
    ExpectOneBox(625, MB_ICONERROR);
    EXPECT_TRUE(dlg.m_Text.isEmpty());

    // 49 pairs and one more character: 50 characters in 99 units, taken.
    const QString mixed = Repeat(kGrinning, 49) + QStringLiteral("x");
    Item<QLineEdit>(dlg, CSetTextDlg::IDC_EDIT_TEXT)->setText(mixed);
    Click(dlg, CSetTextDlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_Text, mixed);

    // Exactly 50 Japanese characters, typed, close the dialog.
    dlg.m_Text.clear();
    Show(dlg);
    Type(dlg, CSetTextDlg::IDC_EDIT_TEXT, fifty);
    Click(dlg, CSetTextDlg::IDC_OK);
    ExpectNoBox();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_Text, fifty);
    EXPECT_EQ(CountLogLines(QStringLiteral("[SETTEXTDLG]OnBnClickedOk()")), 6);
}

TEST_F(DialogTest, TextDialogColourThroughTheColourDialog)
{
    CSetTextDlg dlg;
    dlg.m_Text = QStringLiteral("note");
    dlg.m_FontName = QStringLiteral("Sans");
    dlg.m_nFontPt = 12;
    dlg.m_Color = RGB(1, 2, 3);
    Show(dlg);
    EXPECT_EQ(Text(dlg, CSetTextDlg::IDC_EDIT_TEXT), QStringLiteral("note"));

    // Cancelled: nothing changes. Chosen: the swatch shows it at once.
    colors.bChoose = false;
    Click(dlg, CSetTextDlg::IDC_STATIC_TEXT_COLOR);
    EXPECT_EQ(SwatchColor(dlg), QColor(1, 2, 3));
    colors.bChoose = true;
    colors.answer = RGB(10, 200, 30);
    Click(dlg, CSetTextDlg::IDC_STATIC_TEXT_COLOR);
    EXPECT_EQ(SwatchColor(dlg), QColor(10, 200, 30));
    colors.answer = RGB(0, 0, 255);
    Click(dlg, CSetTextDlg::IDC_STATIC_TEXT_COLOR);
    // The dialog opens on the colour shown each time.
    EXPECT_EQ(colors.offered, std::vector<COLORREF>({RGB(1, 2, 3), RGB(1, 2, 3), RGB(10, 200, 30)}));
    // Not the caller's until OK.
    EXPECT_EQ(dlg.m_Color, RGB(1, 2, 3));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.m_Color, RGB(1, 2, 3));

    // Reopened: the caller's colour again; OK takes the new one.
    Show(dlg);
    EXPECT_EQ(SwatchColor(dlg), QColor(1, 2, 3));
    colors.answer = RGB(0, 0, 255);
    Click(dlg, CSetTextDlg::IDC_STATIC_TEXT_COLOR);
    Click(dlg, CSetTextDlg::IDC_OK);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_Color, RGB(0, 0, 255));
}

TEST_F(DialogTest, TextDialogFontThroughTheFontDialog)
{
    const QStringList faces = CFontComboBox::InstalledFaces();
    ASSERT_FALSE(faces.isEmpty());
    CSetTextDlg dlg;
    dlg.m_Text = QStringLiteral("note");
    dlg.m_FontName = QStringLiteral("No Such Face");
    dlg.m_nFontPt = 13;
    Show(dlg);

    // The font dialog opens on the face and size shown; its OK takes both.
    bool bSeen = false;
    WhenShown<CSelectFontDlg>([&](CSelectFontDlg* p) {
        bSeen = true;
        auto* pFaces = qobject_cast<QComboBox*>(p->GetDlgItem(CSelectFontDlg::IDC_COMBO_FONT_NAME));
        auto* pSizes = qobject_cast<QComboBox*>(p->GetDlgItem(CSelectFontDlg::IDC_COMBO_FONT_SIZE));
        EXPECT_EQ(pFaces->currentIndex(), -1);
        EXPECT_EQ(pSizes->currentText(), QStringLiteral("13"));
        pFaces->setCurrentIndex(0);
        pSizes->setCurrentIndex(pSizes->findText(QStringLiteral("20")));
        QTest::mouseClick(qobject_cast<QAbstractButton*>(p->GetDlgItem(CSelectFontDlg::IDC_OK)), Qt::LeftButton);
    });
    Click(dlg, CSetTextDlg::IDC_BTN_SEL_FONT);
    EXPECT_TRUE(bSeen);
    EXPECT_EQ(Text(dlg, CSetTextDlg::IDC_EDIT_FONT_NAME), faces.front());
    EXPECT_EQ(Text(dlg, CSetTextDlg::IDC_EDIT_FONT_SIZE), QStringLiteral("20"));
    EXPECT_EQ(CountLogLines(QStringLiteral("[SETTEXTDLG]OnBnClickedBtnSelFont()")), 1);

    // Cancelled there: the fields stay.
    WhenShown<CSelectFontDlg>([](CSelectFontDlg* p) {
        auto* pSizes = qobject_cast<QComboBox*>(p->GetDlgItem(CSelectFontDlg::IDC_COMBO_FONT_SIZE));
        EXPECT_EQ(pSizes->currentText(), QStringLiteral("20"));
        pSizes->setEditText(QStringLiteral("40"));
        QTest::keyClick(p, Qt::Key_Escape);
    });
    Click(dlg, CSetTextDlg::IDC_BTN_SEL_FONT);
    EXPECT_EQ(Text(dlg, CSetTextDlg::IDC_EDIT_FONT_SIZE), QStringLiteral("20"));

    // Cancel of the text dialog keeps the caller's font.
    Click(dlg, CSetTextDlg::IDC_CANCEL);
    EXPECT_EQ(dlg.m_FontName, QStringLiteral("No Such Face"));
    EXPECT_EQ(dlg.m_nFontPt, 13);
    // OK takes it.
    Show(dlg);
    WhenShown<CSelectFontDlg>([](CSelectFontDlg* p) {
        auto* pSizes = qobject_cast<QComboBox*>(p->GetDlgItem(CSelectFontDlg::IDC_COMBO_FONT_SIZE));
        pSizes->setEditText(QStringLiteral("17"));
        QTest::mouseClick(qobject_cast<QAbstractButton*>(p->GetDlgItem(CSelectFontDlg::IDC_OK)), Qt::LeftButton);
    });
    Click(dlg, CSetTextDlg::IDC_BTN_SEL_FONT);
    Click(dlg, CSetTextDlg::IDC_OK);
    EXPECT_EQ(dlg.m_FontName, QStringLiteral("No Such Face"));
    EXPECT_EQ(dlg.m_nFontPt, 17);
}

TEST_F(DialogTest, FontDialogFacesSizesAndDefaults)
{
    const QStringList faces = CFontComboBox::InstalledFaces();
    ASSERT_FALSE(faces.isEmpty());
    for (qsizetype i = 1; i < faces.size(); ++i) {
        EXPECT_LT(faces[i - 1].compare(faces[i], Qt::CaseInsensitive), 0) << faces[i].toStdString();
    }

    // Size 13 is not in the list: shown, nothing selected, returned by OK.
    CSelectFontDlg dlg(QStringLiteral("No Such Face"), 13);
    Show(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("フォント設定"));
    auto* pFaces = Item<QComboBox>(dlg, CSelectFontDlg::IDC_COMBO_FONT_NAME);
    auto* pSizes = Item<QComboBox>(dlg, CSelectFontDlg::IDC_COMBO_FONT_SIZE);
    QStringList listed;
    for (int i = 0; i < pFaces->count(); ++i) {
        listed << pFaces->itemText(i);
    }
    EXPECT_EQ(listed, faces);
    EXPECT_EQ(pFaces->currentIndex(), -1);
    QStringList sizes;
    for (int i = 0; i < pSizes->count(); ++i) {
        sizes << pSizes->itemText(i);
    }
    EXPECT_EQ(sizes.join(QLatin1Char(',')), QStringLiteral("8,9,10,11,12,14,16,18,20,22,24,26,28,36,48,72"));
    EXPECT_EQ(pSizes->currentText(), QStringLiteral("13"));
    EXPECT_EQ(pSizes->currentIndex(), -1);
    Click(dlg, CSelectFontDlg::IDC_OK);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nFontPt, 13);
    EXPECT_EQ(dlg.m_FontName, QStringLiteral("No Such Face"));

    // An installed face, given in other case, is selected; a listed size too.
    CSelectFontDlg dlg2(faces.back().toUpper(), 14);
    Show(dlg2);
    auto* pFaces2 = Item<QComboBox>(dlg2, CSelectFontDlg::IDC_COMBO_FONT_NAME);
    auto* pSizes2 = Item<QComboBox>(dlg2, CSelectFontDlg::IDC_COMBO_FONT_SIZE);
    EXPECT_EQ(pFaces2->currentText(), faces.back());
    EXPECT_EQ(pSizes2->itemText(pSizes2->currentIndex()), QStringLiteral("14"));
    // A size that is not positive keeps the size.
    pSizes2->setEditText(QStringLiteral("0"));
    Click(dlg2, CSelectFontDlg::IDC_OK);
    EXPECT_EQ(dlg2.m_FontName, faces.back());
    EXPECT_EQ(dlg2.m_nFontPt, 14);

    // Nothing given: the defaults.
    CSelectFontDlg dlg3(QString(), 0);
    EXPECT_EQ(dlg3.m_FontName, QStringLiteral("MS UI Gothic"));
    EXPECT_EQ(dlg3.m_nFontPt, 14);
    Show(dlg3);
    Item<QComboBox>(dlg3, CSelectFontDlg::IDC_COMBO_FONT_SIZE)->setEditText(QStringLiteral("30"));
    QTest::keyClick(&dlg3, Qt::Key_Escape);
    EXPECT_EQ(dlg3.result(), QDialog::Rejected);
    EXPECT_EQ(dlg3.m_nFontPt, 14);
}
