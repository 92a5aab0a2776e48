// Message boxes and file dialogs answered by the test, each recorded.
#pragma once

#include "app/QSFileAccess.h"
#include "app/dialogs/MessageBox.h"

#include <QFile>

#include <deque>
#include <vector>

// Records each message box and answers the next of Answers, else nAnswer.
class CRecordingBoxes : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget*, const QString& text, const QString& caption, UINT nType) override
    {
        Texts.push_back(text);
        Captions.push_back(caption);
        Types.push_back(nType);
        if (Answers.empty()) {
            return nAnswer;
        }
        const int n = Answers.front();
        Answers.pop_front();
        return n;
    }
    std::vector<QString> Texts, Captions;
    std::vector<UINT> Types;
    std::deque<int> Answers;
    int nAnswer = IDYES;
};

// Answers each file dialog with the next queued path, else Path, and each
// folder dialog with Folder (empty: cancel). Like the real save dialog it asks before replacing a file, and
// declining cancels it.
class CChosenFile : public IFileDialogProvider {
public:
    QString SelectFile(BOOL bOpen, const QString& defExt, const QString&, const QString& filter,
                       BOOL bOverwritePrompt) override
    {
        Ext = defExt;
        Filter = filter;
        QString path = Path;
        if (!Paths.empty()) {
            path = Paths.front();
            Paths.pop_front();
        }
        if (!bOpen && bOverwritePrompt && QFile::exists(path)) {
            ++nOverwriteAsked;
            if (bDeclineOverwrite) {
                return QString();
            }
        }
        return path;
    }
    QString SelectFolder(const QString&) override { return Folder; }
    QString Path;
    QString Folder; // empty: the user cancels
    std::deque<QString> Paths;
    QString Ext, Filter;
    bool bDeclineOverwrite = false;
    int nOverwriteAsked = 0;
};
