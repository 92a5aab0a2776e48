// A parameter dialog built from its form table: the controls and their
// layout, the number fields' limits, OK and Cancel. OK writes the form's log
// line, lets the dialog check what was entered (a refusal shows its message
// and the dialog stays), then lets it take the values and closes.
#pragma once

#include "app/dialogs/FieldForm.h"
#include "app/dialogs/ParamDialog.h"

#include <vector>

class CFieldFormDlg : public CParamDialog {
    Q_OBJECT
public:
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    void OnBnClickedOk();

protected:
    // Why what was entered cannot be taken: a message and its icon.
    struct REFUSAL {
        UINT nMessageID = 0; // 0: nothing against it
        UINT nIcon = 0;
    };

    CFieldFormDlg(const FIELD_FORM& form, QWidget* pParent);

    std::span<const CONTROL_NAME> Controls() const override;

    // The control nID as the kind the table made it (null for another nID).
    template <typename T>
    T* Field(int nID) const
    {
        return qobject_cast<T*>(GetDlgItem(nID));
    }
    // The text of field nID, and the number at its start.
    QString FieldText(int nID) const;
    int FieldInt(int nID) const;
    double FieldDouble(int nID) const;
    void SetFieldText(int nID, const QString& text);

    virtual REFUSAL CheckFields() const { return {}; }
    virtual void StoreFields() = 0;

private:
    void Build();

    const FIELD_FORM& m_Form;
    std::vector<CONTROL_NAME> m_Controls;
};
