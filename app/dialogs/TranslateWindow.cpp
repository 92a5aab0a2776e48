#include "app/dialogs/TranslateWindow.h"

#include "app/MultiLanguageTranslator.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>

namespace {

void TranslateHeader(CMultiLanguageTranslator& tr, QAbstractItemModel* pModel, Qt::Orientation orientation, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        const QString text = pModel->headerData(i, orientation).toString();
        if (!text.isEmpty()) {
            pModel->setHeaderData(i, orientation, tr.TranslateText(text));
        }
    }
}

void TranslateTreeItem(CMultiLanguageTranslator& tr, QTreeWidgetItem* pItem)
{
    for (int c = 0; c < pItem->columnCount(); ++c) {
        pItem->setText(c, tr.TranslateText(pItem->text(c)));
    }
    for (int i = 0; i < pItem->childCount(); ++i) {
        TranslateTreeItem(tr, pItem->child(i));
    }
}

void TranslateOne(CMultiLanguageTranslator& tr, QWidget* pWidget)
{
    if (auto* p = qobject_cast<QLabel*>(pWidget)) {
        // A label showing a picture or rich text has no caption of its own.
        if (p->textFormat() != Qt::RichText && !p->text().isEmpty()) {
            p->setText(tr.TranslateText(p->text()));
        }
    } else if (auto* p = qobject_cast<QAbstractButton*>(pWidget)) {
        if (!p->text().isEmpty()) {
            p->setText(tr.TranslateText(p->text()));
        }
    } else if (auto* p = qobject_cast<QGroupBox*>(pWidget)) {
        p->setTitle(tr.TranslateText(p->title()));
    } else if (auto* p = qobject_cast<QTabWidget*>(pWidget)) {
        for (int i = 0; i < p->count(); ++i) {
            p->setTabText(i, tr.TranslateText(p->tabText(i)));
        }
    } else if (auto* p = qobject_cast<QComboBox*>(pWidget)) {
        // Text replaced in place: the items keep their data.
        for (int i = 0; i < p->count(); ++i) {
            p->setItemText(i, tr.TranslateText(p->itemText(i)));
        }
    } else if (auto* p = qobject_cast<QListWidget*>(pWidget)) {
        for (int i = 0; i < p->count(); ++i) {
            p->item(i)->setText(tr.TranslateText(p->item(i)->text()));
        }
    } else if (auto* p = qobject_cast<QTableWidget*>(pWidget)) {
        TranslateHeader(tr, p->model(), Qt::Horizontal, p->columnCount());
    } else if (auto* p = qobject_cast<QTreeWidget*>(pWidget)) {
        if (QTreeWidgetItem* pHeader = p->headerItem()) {
            for (int c = 0; c < pHeader->columnCount(); ++c) {
                pHeader->setText(c, tr.TranslateText(pHeader->text(c)));
            }
        }
        for (int i = 0; i < p->topLevelItemCount(); ++i) {
            TranslateTreeItem(tr, p->topLevelItem(i));
        }
    }
}

} // namespace

void TranslateChildWindows(QWidget* pRoot)
{
    CMultiLanguageTranslator* pTranslator = GetProgramTranslator();
    if (pRoot == nullptr || pTranslator == nullptr || pTranslator->GetFilePath().isEmpty()) {
        return;
    }
    const QList<QWidget*> children = pRoot->findChildren<QWidget*>();
    for (QWidget* pChild : children) {
        TranslateOne(*pTranslator, pChild);
    }
}
