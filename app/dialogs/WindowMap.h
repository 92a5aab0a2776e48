// A plain-text map of the program's windows and controls on the screen, for
// tools that drive the program from outside as a person does (they see only
// the X windows, not the controls inside them). Written only when the
// program is started with PIXMETRA_WINDOW_MAP naming the file.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

// Rewrites the map whenever it changes (checked ten times a second). Lines, tab-separated, coordinates in screen (device) pixels:
//   window  <id> <objectName> <class> <title> <x> <y> <w> <h> <active> <min w> <min h>
//   control <id> <objectName> <class> <text> <x> <y> <w> <h> <enabled> <info>
// where <id> is the top-level window's native id and <info> is the widget's
// "windowMapInfo" property (the picture view states its ratio and scroll),
// followed by " clipped" for a label or button whose text does not fit and
// " scrolled" for a control scrolled out of its scroll area's view.
// A list's <text> is its row count and its <info> the rows, each as its
// cells joined by '|', separated by ';'.
class CWindowMap : public QObject {
public:
    explicit CWindowMap(QString path, QObject* pParent = nullptr);
    // The map as it stands now (the same text the file receives).
    static QString Describe();

private:
    void Write();

    QString m_Path;
    QString m_Last;
    QTimer m_Poll;
};
