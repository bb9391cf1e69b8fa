// CEventDlg: adds or edits one event: year, month, leap month, day, priority, text and note. OK
// checks every value and names what is wrong; the dialog stays open until the event is valid
// or the user cancels.
#pragma once

#include <QDialog>

#include <corvane/EventData.h>
#include <corvane/GengouEra.h>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class CLinkTextEdit;

class CEventDlg : public QDialog {
    Q_OBJECT
public:
    // Shows event (an event to edit, or the defaults of a new one) under the title. With an era
    // table (not owned; it must outlive the dialog) the year field also takes an era date
    // (平成元年1月8日, H1; its month and day, when it gives them, replace the fields'), and the
    // dialog shows the era date of what is typed.
    CEventDlg(const SEventData& event, const QString& strTitle, QWidget* pParent = nullptr,
              const CGengouEra* pEras = nullptr);

    // The event as accepted (valid after exec() returned Accepted).
    const SEventData& Data() const { return m_data; }

    // Reads the fields into event. False, with the message to show in strMessage, when a field
    // holds what an event cannot (the checks of CEventEdit::Check, a year that is no 32-bit whole
    // number or era date, text with characters that code page 932 lacks).
    bool ReadFields(SEventData& event, QString& strMessage) const;

    void accept() override;

private:
    // The month, leap month, day and priority fields of event.
    void CreateDateFields(const SEventData& event);
    // リンク(K)…: asks the address of the selected words (or of the link at the cursor); an empty
    // one makes them plain words.
    void EditLink();
    void UpdateEnabled();
    void UpdateEraDate();
    // The date of the year field and the month and day fields; false when the year field is none.
    bool FieldDate(SEraDate& date, QString& strReason) const;

    SEventData m_data;
    const CGengouEra* m_pEras;
    QLabel* m_pEraDate;
    QLineEdit* m_pYear;
    QComboBox* m_pMonth;
    QCheckBox* m_pLeap;
    QComboBox* m_pDay;
    QComboBox* m_pPriority;
    CLinkTextEdit* m_pText;
    QPushButton* m_pLink;
    QPlainTextEdit* m_pNote;
    mutable QWidget* m_pBadField = nullptr;   // where ReadFields found the fault, for the focus
};
