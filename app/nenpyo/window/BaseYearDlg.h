// CBaseYearDlg: the base-year table's name, base and end year, counting options and supplement.
// OK checks the years and names what is wrong; the dialog stays open until they are valid or the
// user cancels.
#pragma once

#include <QDialog>

#include <corvane/BaseYear.h>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;

class CBaseYearDlg : public QDialog {
    Q_OBJECT
public:
    CBaseYearDlg(const CBaseYear& baseYear, QWidget* pParent = nullptr);

    // The table as accepted: a copy of the one given with the dialog's values set on it.
    const CBaseYear& Table() const { return m_baseYear; }
    // Reads the fields into table. False, with the message in strMessage, for a base year that is
    // no whole number or 0, an end year that is none of those or lies before the base year, or
    // text that code page 932 cannot hold.
    bool ReadFields(CBaseYear& table, QString& strMessage) const;

    void accept() override;

private:
    CBaseYear m_baseYear;
    QLineEdit* m_pName;
    QLineEdit* m_pBase;
    QLineEdit* m_pEnd;
    QCheckBox* m_pKazoe;
    QCheckBox* m_pMinus1;
    QCheckBox* m_pDisplayMinus;
    QCheckBox* m_pEndPlus;
    QCheckBox* m_pEndKaiki;
    QCheckBox* m_pBeginQuest;
    QCheckBox* m_pEndQuest;
    QPlainTextEdit* m_pSupplement;
};
