// Dialog suites: message boxes, the folder browser and the colour dialog are
// answered by recorders, and the program log goes to a temporary folder so
// the lines a dialog writes can be read back.
#pragma once

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/dialogs/ColorDialog.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/ParamDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

struct SHOWN_BOX {
    QString text;
    QString caption;
    UINT nType;
};

class CRecordingMessageBox : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString& caption, UINT nType) override
    {
        boxes.push_back({text, caption, nType});
        return IDOK;
    }
    std::vector<SHOWN_BOX> boxes;
};

class CScriptedFolderDialog : public IFileDialogProvider {
public:
    QString SelectFile(BOOL, const QString&, const QString&, const QString&, BOOL) override { return QString(); }
    QString SelectFolder(const QString& initialFolder) override
    {
        initialFolders.push_back(initialFolder);
        return answer;
    }
    QString answer; // empty: the user cancels
    QStringList initialFolders;
};

class CScriptedColorDialog : public IColorDialogProvider {
public:
    BOOL SelectColor(QWidget*, COLORREF& color) override
    {
        offered.push_back(color);
        if (!bChoose) {
            return FALSE;
        }
        color = answer;
        return TRUE;
    }
    bool bChoose = true;
    COLORREF answer = 0;
    std::vector<COLORREF> offered;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        SetMessageBoxProvider(&boxes);
        CQSFileAccess::SetDialogProvider(&folders);
        SetColorDialogProvider(&colors);
        ASSERT_TRUE(log.Open(tmp.path(), 1, QStringLiteral("DialogLog")));
        SetProgramLog(&log);
    }
    void TearDown() override
    {
        SetProgramLog(nullptr);
        log.Close();
        SetColorDialogProvider(nullptr);
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
    // Selects the field's whole text and types over it, key by key (an empty
    // text deletes it).
    static void Type(const CParamDialog& dlg, int nID, const QString& text)
    {
        QLineEdit* p = Item<QLineEdit>(dlg, nID);
        ASSERT_NE(p, nullptr);
        p->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(p, Qt::Key_Delete);
        } else {
            TypeText(p, text);
        }
    }
    // Key presses carrying each character (a pair of surrogates in one),
    // as an input method delivers text that no key of its own types.
    static void TypeText(QWidget* p, const QString& text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            QString one(text[i]);
            if (text[i].isHighSurrogate() && i + 1 < text.size()) {
                one += text[++i];
            }
            const Qt::Key key = one.size() == 1 && one[0].unicode() < 0x80
                                    ? static_cast<Qt::Key>(one[0].toUpper().unicode())
                                    : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Press, p, key, one, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, p, key, one, Qt::NoModifier);
        }
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
    static bool Enabled(const CParamDialog& dlg, int nID)
    {
        QWidget* p = dlg.GetDlgItem(nID);
        EXPECT_NE(p, nullptr) << "control " << nID;
        return p != nullptr && p->isEnabled();
    }

    // The one box shown since the last call, checked and forgotten.
    void ExpectOneBox(UINT nStringID, UINT nIcon)
    {
        ASSERT_EQ(boxes.boxes.size(), 1u) << "expected message " << nStringID;
        EXPECT_EQ(boxes.boxes[0].text, GetProgramString(nStringID));
        EXPECT_EQ(boxes.boxes[0].nType, MB_OK | nIcon);
        EXPECT_EQ(boxes.boxes[0].caption, GetProgramString(135));
        boxes.boxes.clear();
    }
    void ExpectNoBox()
    {
        for (const SHOWN_BOX& b : boxes.boxes) {
            ADD_FAILURE() << "unexpected message " << b.text.toStdString();
        }
        boxes.boxes.clear();
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

    // Runs action on the first visible top-level T once it appears, from
    // the event loop of a modal dialog that the test is about to start.
    template <typename T>
    static void WhenShown(std::function<void(T*)> action)
    {
        auto* pTimer = new QTimer;
        auto nTries = std::make_shared<int>(0);
        QObject::connect(pTimer, &QTimer::timeout, [pTimer, nTries, action] {
            for (QWidget* p : QApplication::topLevelWidgets()) {
                if (T* pFound = dynamic_cast<T*>(p); pFound != nullptr && pFound->isVisible()) {
                    pTimer->stop();
                    pTimer->deleteLater();
                    action(pFound);
                    return;
                }
            }
            // Never hang the suite on a dialog that did not come.
            if (++*nTries > 500) {
                pTimer->stop();
                pTimer->deleteLater();
                ADD_FAILURE() << "dialog never shown";
                if (QWidget* pModal = QApplication::activeModalWidget()) {
                    pModal->close();
                }
            }
        });
        pTimer->start(10);
    }

    QTemporaryDir tmp;
    CRecordingMessageBox boxes;
    CScriptedFolderDialog folders;
    CScriptedColorDialog colors;
    CLogFile log;
};
