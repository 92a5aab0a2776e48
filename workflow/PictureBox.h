// The picture box: shows AccImage fitted into the box, top-left aligned as
// DrawImage draws it, and keeps the overlay over the shown picture.
#pragma once

#include "image/AccImage.h"

#include <QWidget>

#include <functional>

class CPictureBox : public QWidget {
public:
    CPictureBox(QWidget* pParent, CAccImage* pImage);
    // The scale of the last drawing and the size the picture took.
    double GetScale() const { return m_dScale; }
    // Called when the shown picture's scale or size changes.
    void SetViewChanged(std::function<void(double, int, int)> fn) { m_fnViewChanged = std::move(fn); }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    CAccImage* m_pImage;
    double m_dScale = 0.0;
    int m_nShownWidth = 0, m_nShownHeight = 0;
    std::function<void(double, int, int)> m_fnViewChanged;
};
