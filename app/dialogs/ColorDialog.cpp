#include "app/dialogs/ColorDialog.h"

#include "app/dialogs/KeepAbove.h"

#include <QColor>
#include <QColorDialog>

namespace {

class CQtColorDialog : public IColorDialogProvider {
public:
    BOOL SelectColor(QWidget* pParent, COLORREF& color) override
    {
        const QColor initial(GetRValue(color), GetGValue(color), GetBValue(color));
        QColorDialog dialog(initial, pParent);
        KeepModalAbove(dialog);
        if (dialog.exec() != QDialog::Accepted) {
            return FALSE;
        }
        const QColor chosen = dialog.selectedColor();
        color = RGB(static_cast<uint8_t>(chosen.red()), static_cast<uint8_t>(chosen.green()),
                    static_cast<uint8_t>(chosen.blue()));
        return TRUE;
    }
};

CQtColorDialog g_QtColorDialog;
IColorDialogProvider* g_pProvider = nullptr;

} // namespace

void SetColorDialogProvider(IColorDialogProvider* pProvider)
{
    g_pProvider = pProvider;
}

IColorDialogProvider* GetColorDialogProvider()
{
    return g_pProvider != nullptr ? g_pProvider : &g_QtColorDialog;
}

BOOL SelectColor(QWidget* pParent, COLORREF& color)
{
    return GetColorDialogProvider()->SelectColor(pParent, color);
}
