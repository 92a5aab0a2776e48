// The list of font faces: every family installed for Western text, sorted.
#pragma once

#include <QComboBox>

class CFontComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CFontComboBox(QWidget* pParent = nullptr);

    // Refills the list from the installed fonts.
    void FillFontFaces();
    // The index of face (compared without regard to case), or -1.
    int FindFace(const QString& face) const;

    // The installed families for Western text, sorted without regard to case
    // and without duplicates.
    static QStringList InstalledFaces();
};
