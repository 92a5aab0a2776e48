// The up and down arrows beside a number field. Each arrow steps the number
// in the field by one and stops at the ends of the range; the Up and Down
// keys in the field do the same.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

class CSpinButtonCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButtonCtrl(QWidget* pParent = nullptr);

    void SetBuddy(QLineEdit* pBuddy);
    QLineEdit* GetBuddy() const { return m_pBuddy; }
    void SetRange(int nLower, int nUpper);
    int GetLower() const { return m_nLower; }
    int GetUpper() const { return m_nUpper; }

    // The field's number moved by nDelta and held within the range.
    void Step(int nDelta);

    QToolButton* GetUpButton() const { return m_pUp; }
    QToolButton* GetDownButton() const { return m_pDown; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QLineEdit* m_pBuddy = nullptr;
    QToolButton* m_pUp = nullptr;
    QToolButton* m_pDown = nullptr;
    int m_nLower = 0;
    int m_nUpper = 100;
};
