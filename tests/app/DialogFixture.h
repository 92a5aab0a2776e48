// Dialog suites: message boxes and the folder browser are answered by
// recorders, and the program log goes to a temporary folder so the lines a
// dialog writes can be read back.
#pragma once

#include "RecordingProviders.h"
#include "app/AppStrings.h"
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/dialogs/ParamDialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        boxes.nAnswer = IDOK;
        SetMessageBoxProvider(&boxes);
        CQSFileAccess::SetDialogProvider(&folders);
        ASSERT_TRUE(log.Open(tmp.path(), 1, QStringLiteral("DialogLog")));
        SetProgramLog(&log);
    }
    void TearDown() override
    {
        SetProgramLog(nullptr);
        log.Close();
        CQSFileAccess::SetDialogProvider(nullptr);
        SetMessageBoxProvider(nullptr);
        SetProgramTranslator(nullptr);
    }

    static void Show(QDialog& dlg)
    {
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }
    template <typename T>
    static T* Item(const CParamDialog& dlg, int nID)
    {
        T* p = qobject_cast<T*>(dlg.GetDlgItem(nID));
        EXPECT_NE(p, nullptr) << "control " << nID;
        return p;
    }
    static QString Text(const CParamDialog& dlg, int nID)
    {
        QLineEdit* p = Item<QLineEdit>(dlg, nID);
        return p != nullptr ? p->text() : QString();
    }
    // On the indicator end of the button: a radio or check box laid out
    // wider than its caption does not take clicks beyond the caption.
    static void Click(const CParamDialog& dlg, int nID)
    {
        QAbstractButton* p = Item<QAbstractButton>(dlg, nID);
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(p->isEnabled()) << "control " << nID;
        const QPoint at(std::min(8, p->width() / 2), p->height() / 2);
        QTest::mouseClick(p, Qt::LeftButton, Qt::NoModifier, at);
    }
    // The one box shown since the last call, checked and forgotten.
    void ExpectOneBox(UINT nStringID, UINT nIcon)
    {
        ASSERT_EQ(boxes.Texts.size(), 1u) << "expected message " << nStringID;
        EXPECT_EQ(boxes.Texts[0], GetProgramString(nStringID));
        EXPECT_EQ(boxes.Types[0], MB_OK | nIcon);
        EXPECT_EQ(boxes.Captions[0], GetProgramString(IDS_PROGRAM_NAME_NO_CAMERA));
        boxes.Texts.clear();
        boxes.Captions.clear();
        boxes.Types.clear();
    }
    QStringList LogLines()
    {
        QFile f(log.GetFilePath());
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    int CountLogLines(const QString& text)
    {
        int n = 0;
        for (const QString& line : LogLines()) {
            n += line.contains(text) ? 1 : 0;
        }
        return n;
    }

    QTemporaryDir tmp;
    CRecordingBoxes boxes;
    CChosenFile folders;
    CLogFile log;
};
