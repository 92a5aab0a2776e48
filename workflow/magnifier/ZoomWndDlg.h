// The magnifier: a small floating, always-on-top window that shows the
// picture around the mouse pointer enlarged 1, 2, 4 or 8 times with a cross
// hair at the pointer, and the image point and pixel value under it. It
// reads the pixels from the main window's picture buffer.
#pragma once

#include "image/ImageInfo.h"
#include "platform/MessageSink.h"
#include "platform/WinTypes.h"

#include <QWidget>

class CAccImage;
class QComboBox;
class QLabel;
class QPainter;

class CZoomWndDlg : public QWidget {
public:
    enum { IDD = 183 };
    static constexpr int IDC_COMBO_MAGNIFICATION = 1140;
    static constexpr int IDC_STATIC_VIEW = 1141;
    static constexpr int IDC_STATIC_CROSS = 1096;
    static constexpr int kViewSize = 240;

    explicit CZoomWndDlg(QWidget* pParent = nullptr);
    ~CZoomWndDlg() override;

    // pMain receives the close notice; the pixels come from pImage.
    BOOL InitZoomWndDlg(IMessageSink* pMain, CAccImage* pImage);
    void SetCrossColor(COLORREF crCross);
    // The size and bit count of the picture the main window shows.
    void SetImageInfo(const IMAGE_INFO& info) { m_ImageInfo = info; }
    // Shows the picture around image point pt; bClear empties the view.
    void Draw(POINT pt, BOOL bClear);
    void Clear() { Draw(m_ptPointer, TRUE); }
    // Draws again at the stored pointer (a new picture, a new magnification).
    void Redraw() { Draw(m_ptPointer, FALSE); }

    double GetMagnification() const { return m_dMagnification; }
    int GetMagnificationIndex() const { return m_nMagnificationIdx; }
    POINT GetPointer() const { return m_ptPointer; }
    // "x, y" and the pixel's R, G, B (or grey) under the pointer; empty
    // before a picture.
    QString GetPixelText() const;
    QWidget* GetDlgItem(int nID) const;

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    class CCrossView;
    // The pixel under the pointer: nChannels 1 (grey) or 3 (R, G, B), -1
    // outside the picture, -2 with no picture shown.
    struct PIXEL_AT {
        int32_t x, y;
        int nChannels;
        uint8_t value[3];
        bool operator==(const PIXEL_AT& o) const
        {
            return x == o.x && y == o.y && nChannels == o.nChannels && value[0] == o.value[0] &&
                   value[1] == o.value[1] && value[2] == o.value[2];
        }
    };
    PIXEL_AT ReadPixel() const;
    void PaintView(QPainter& painter);
    void OnSelChangeMagnification(int nSel);
    void UpdatePixelText();

    IMessageSink* m_pMain = nullptr;
    CAccImage* m_pImage = nullptr;
    BOOL m_bInit = FALSE;
    QComboBox* m_pCombo = nullptr;
    QWidget* m_pCross = nullptr; // 1096: the full view area, drawn on
    QWidget* m_pView = nullptr;  // 1141: where the enlarged picture lies
    QLabel* m_pInfo = nullptr;
    QRect m_ViewStart;
    COLORREF m_crCross = 0x00FFFF00;
    IMAGE_INFO m_ImageInfo{0, 0, 0};
    double m_dMagnification = 1.0;
    int m_nMagnificationIdx = 0;
    POINT m_ptPointer{0, 0};
    // What the next paint shows: nothing, the emptied view, or the picture
    // from source point (m_nSrcLeft, m_nSrcTop).
    enum { VIEW_NONE, VIEW_CLEARED, VIEW_PICTURE } m_nViewState = VIEW_NONE;
    int32_t m_nSrcLeft = 0;
    int32_t m_nSrcTop = 0;
    PIXEL_AT m_LastPixel{0, 0, -2, {0, 0, 0}};
};
