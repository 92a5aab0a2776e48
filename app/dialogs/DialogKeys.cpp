#include "app/dialogs/DialogKeys.h"

#include <QKeyEvent>

bool SwallowEnterEscape(QKeyEvent* pEvent)
{
    const int nKey = pEvent->key();
    if (nKey != Qt::Key_Return && nKey != Qt::Key_Enter && nKey != Qt::Key_Escape) {
        return false;
    }
    pEvent->accept();
    return true;
}
