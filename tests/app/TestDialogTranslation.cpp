#include "DialogFixture.h"

#include "app/dialogs/DialogStrings.h"
#include "app/dialogs/LogCopyDlg.h"
#include "app/dialogs/SaveContinueSettingDlg.h"
#include "app/dialogs/SelectFontDlg.h"
#include "app/dialogs/SetAviSecDlg.h"
#include "app/dialogs/SetIntervalDlg.h"
#include "app/dialogs/SetLengthDlg.h"
#include "app/dialogs/SetScaleDlg.h"
#include "app/dialogs/SetTextDlg.h"
#include "app/dialogs/SystemSettingDlg.h"

#include <QGroupBox>
#include <QLabel>

#include <memory>

namespace {

// Every caption a user reads on the dialog.
QStringList Captions(const QDialog& dlg)
{
    QStringList out;
    for (const QLabel* p : dlg.findChildren<QLabel*>()) {
        out << p->text();
    }
    for (const QAbstractButton* p : dlg.findChildren<QAbstractButton*>()) {
        out << p->text();
    }
    for (const QGroupBox* p : dlg.findChildren<QGroupBox*>()) {
        out << p->title();
    }
    out.removeAll(QString());
    return out;
}

bool HasJapanese(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) {
            return true;
        }
    }
    return false;
}

struct DIALOG_CASE {
    std::unique_ptr<CParamDialog> pDlg;
    UINT nCaptionID;
};

std::vector<DIALOG_CASE> AllDialogs(SAVE_CONTINUE_SETTING& block)
{
    std::vector<DIALOG_CASE> out;
    auto pSave = std::make_unique<CSaveContinueSettingDlg>();
    pSave->SetSaveContinueSetting(&block);
    out.push_back({std::move(pSave), IDS_SAVE_CONTINUE_TITLE});
    out.push_back({std::make_unique<CSetIntervalDlg>(), IDS_SAVE_CONTINUE_TITLE});
    out.push_back({std::make_unique<CSetAviSecDlg>(), IDS_VIDEO_LENGTH_TITLE});
    auto pLength = std::make_unique<CSetLengthDlg>();
    pLength->m_UnitText = QStringLiteral("mm");
    out.push_back({std::move(pLength), IDS_REFERENCE_LENGTH_TITLE});
    out.push_back({std::make_unique<CSetScaleDlg>(), IDS_SCALE_TITLE});
    out.push_back({std::make_unique<CSetTextDlg>(), IDS_TEXT_TITLE});
    out.push_back({std::make_unique<CSelectFontDlg>(), IDS_SELECT_FONT_TITLE});
    out.push_back({std::make_unique<CSystemSettingDlg>(), IDS_SYSTEM_SETTING_TITLE});
    out.push_back({std::make_unique<CLogCopyDlg>(), IDS_LOG_COPY_TITLE});
    return out;
}

} // namespace

TEST_F(DialogTest, EveryDialogSpeaksEnglishWithTheEnglishFile)
{
    const QString path = QDir(tmp.path()).filePath(QStringLiteral("LangTransEnglish.ini"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PIXMETRA_SOURCE_DIR "/app/LangTransEnglish.ini"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    CMultiLanguageTranslator translator;
    translator.SetTranslation(path, QStringLiteral("ENGLISH"));
    SetProgramTranslator(&translator);

    SAVE_CONTINUE_SETTING block{0, 0, 0, 1, 10, 0, QStringLiteral("/data/"), 0};
    for (DIALOG_CASE& c : AllDialogs(block)) {
        Show(*c.pDlg);
        const QString title = c.pDlg->windowTitle();
        EXPECT_FALSE(title.isEmpty());
        EXPECT_FALSE(HasJapanese(title)) << title.toStdString();
        const QStringList captions = Captions(*c.pDlg);
        EXPECT_FALSE(captions.isEmpty());
        for (const QString& caption : captions) {
            EXPECT_FALSE(HasJapanese(caption)) << c.nCaptionID << ": " << caption.toStdString();
        }
        // Shown a second time the captions are not translated again.
        c.pDlg->reject();
        const QStringList first = Captions(*c.pDlg);
        Show(*c.pDlg);
        EXPECT_EQ(Captions(*c.pDlg), first);
        c.pDlg->reject();
    }

    // Every caption and title had its entry: the file gained nothing (font
    // faces and sizes are never looked up).
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    EXPECT_EQ(after.size(), before.size());
    if (after != before) {
        const QString added = QString::fromUtf16(reinterpret_cast<const char16_t*>(after.constData() + before.size()),
                                                 (after.size() - before.size()) / 2);
        ADD_FAILURE() << "entries added: " << added.toStdString();
    }
}
