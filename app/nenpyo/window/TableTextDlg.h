// CTableTextDlg: the chronology's name and explanation.
#pragma once

#include <QDialog>

#include <framework/String.h>

class QLineEdit;
class QPlainTextEdit;

class CTableTextDlg : public QDialog {
    Q_OBJECT
public:
    CTableTextDlg(const CString& strName, const CString& strExplanation, QWidget* pParent = nullptr);

    // The texts as accepted (code page 932; line breaks of the explanation as CR LF).
    const CString& Name() const { return m_strName; }
    const CString& Explanation() const { return m_strExplanation; }

    void accept() override;

private:
    CString m_strName;
    CString m_strExplanation;
    QLineEdit* m_pName;
    QPlainTextEdit* m_pExplanation;
};
