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
    // (平成元年1月8日, H1): a date typed there is the event's date, shown in the month and day
    // fields too (which wait, disabled, until the text no longer gives a month); an era year typed
    // alone (明治元年) is read together with the fields' month and day, by the era date reader's
    // rules. The dialog shows the era date of what is typed and, from 701 on, its Western day,
    // weekday and 干支.
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
    // リンク(K)…: asks the address of the selected words (or of the link at the cursor); an empty
    // one makes them plain words.
    void EditLink();
    void UpdateEnabled();
    void UpdateEraDate();
    // The one date of the year field and the month and day fields; false when they give none.
    // bTyped: the year field itself gave the month.
    bool FieldDate(SEraDate& date, QString& strReason, bool& bTyped) const;
    // Shows a date typed into the year field in the month and day fields.
    void ShowTypedDate(const SEraDate& date);

    SEventData m_data;
    const CGengouEra* m_pEras;
    QLabel* m_pEraDate;
    QLabel* m_pDayInfo;
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
