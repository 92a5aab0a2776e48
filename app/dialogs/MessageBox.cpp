#include "app/dialogs/MessageBox.h"

#include "app/dialogs/KeepAbove.h"

#include <QMessageBox>

namespace {

class CQtMessageBox : public IMessageBoxProvider {
public:
    int ShowMessageBox(QWidget* pParent, const QString& text, const QString& caption, UINT nType) override
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        switch (nType & 0xF0) {
        case MB_ICONERROR: icon = QMessageBox::Critical; break;
        case MB_ICONQUESTION: icon = QMessageBox::Question; break;
        case MB_ICONWARNING: icon = QMessageBox::Warning; break;
        case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
        default: break;
        }
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        switch (nType & 0x0F) {
        case MB_OKCANCEL: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
        case MB_YESNO: buttons = QMessageBox::Yes | QMessageBox::No; break;
        default: break;
        }
        QMessageBox box(icon, caption, text, buttons, pParent);
        // Topmost whether asked for (MB_TOPMOST) or not.
        KeepModalAbove(box);
        switch (box.exec()) {
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        case QMessageBox::Cancel: return IDCANCEL;
        default: return (nType & 0x0F) == MB_YESNO ? IDNO : IDOK;
        }
    }
};

CQtMessageBox g_QtMessageBox;
IMessageBoxProvider* g_pProvider = nullptr;

} // namespace

void SetMessageBoxProvider(IMessageBoxProvider* pProvider)
{
    g_pProvider = pProvider;
}

IMessageBoxProvider* GetMessageBoxProvider()
{
    return g_pProvider != nullptr ? g_pProvider : &g_QtMessageBox;
}

int ShowMessageBox(QWidget* pParent, const QString& text, const QString& caption, UINT nType)
{
    return GetMessageBoxProvider()->ShowMessageBox(pParent, text, caption, nType);
}
