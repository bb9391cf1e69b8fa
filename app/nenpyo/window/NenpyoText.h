// Text typed into Nenpyo's dialogs on its way to the tables, and the buttons those dialogs share.
#pragma once

#include <cstdint>

#include <QString>

#include <framework/String.h>

class QDialog;
class QDialogButtonBox;

// A Western year as typed: optional sign and digits within the 32-bit range, blanks around allowed
// (full-width digits and minus too). False, lYear unchanged, otherwise.
bool ParseYear(const QString& strText, std::int32_t& lYear);

// The code page 932 form of what the user typed into the field strField. False, with a message
// naming the field and the first character that code page 932 cannot hold, when there is one:
// the tables store code page 932 only, and nothing typed is changed silently.
bool ToCp932(const QString& strText, CString& strCp932, const QString& strField, QString& strMessage);

// A multi-line table text (line breaks CR LF) as an edit field shows it, and what the user typed
// there back as code page 932 with CR LF breaks (false as ToCp932).
QString ToEditLines(const CString& str);
bool EditLinesToCp932(QString strText, CString& strCp932, const QString& strField, QString& strMessage);

// The dialog's OK and キャンセル buttons, wired to its accept and reject (not yet laid out).
QDialogButtonBox* NewOkCancel(QDialog* pDlg);
