#include "app/dialogs/FontComboBox.h"

#include <QFontDatabase>

#include <algorithm>

CFontComboBox::CFontComboBox(QWidget* pParent) : QComboBox(pParent)
{
    setEditable(false);
}

void CFontComboBox::FillFontFaces()
{
    clear();
    addItems(InstalledFaces());
    setCurrentIndex(-1);
}

int CFontComboBox::FindFace(const QString& face) const
{
    if (face.isEmpty()) {
        return -1;
    }
    return findText(face, Qt::MatchFixedString);
}

QStringList CFontComboBox::InstalledFaces()
{
    QStringList faces = QFontDatabase::families(QFontDatabase::Latin);
    std::sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        const int n = a.compare(b, Qt::CaseInsensitive);
        return n != 0 ? n < 0 : a < b;
    });
    faces.erase(std::unique(faces.begin(), faces.end(),
                            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }),
                faces.end());
    return faces;
}
