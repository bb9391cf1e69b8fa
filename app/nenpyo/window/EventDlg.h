// CEventDlg: adds or edits one event: year, month, leap month, day, priority, text and note. OK
// checks every value and names what is wrong; the dialog stays open until the event is valid
// or the user cancels.
#pragma once

#include <QDialog>

#include <corvane/EventData.h>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

class CEventDlg : public QDialog {
    Q_OBJECT
public:
    // Shows event (an event to edit, or the defaults of a new one) under the title.
    CEventDlg(const SEventData& event, const QString& strTitle, QWidget* pParent = nullptr);

    // The event as accepted (valid after exec() returned Accepted).
    const SEventData& Data() const { return m_data; }

    // Reads the fields into event. False, with the message to show in strMessage, when a field
    // holds what an event cannot (the checks of CEventEdit::Check, a year that is no 32-bit whole
    // number, text with characters that code page 932 lacks).
    bool ReadFields(SEventData& event, QString& strMessage) const;

    void accept() override;

private:
    void UpdateEnabled();

    SEventData m_data;
    QLineEdit* m_pYear;
    QComboBox* m_pMonth;
    QCheckBox* m_pLeap;
    QComboBox* m_pDay;
    QComboBox* m_pPriority;
    QLineEdit* m_pText;
    QPlainTextEdit* m_pNote;
    mutable QWidget* m_pBadField = nullptr;   // where ReadFields found the fault, for the focus
};
