// Text typed into Nenpyo's dialogs on its way to the tables, and the buttons those dialogs share.
#pragma once

#include <cstdint>

#include <QString>

#include <corvane/GengouEra.h>
#include <framework/String.h>

class QDialog;
class QDialogButtonBox;

// A year, or a date, as typed where a year is asked for: a Western year as the one reader of typed
// years reads it (corvane/YearText.h: ParseTypedYear; the date then has month 0), else, with an
// era table, any form of the era date reader (corvane/EraDateText.h: 平成元年1月8日, H1,
// 1989-01-08), with the month and day it gives. False, date unchanged, with the reason in
// strReason (empty when the text is no date at all).
bool ParseYearOrEraDate(const QString& strText, const CGengouEra* pEras, SEraDate& date, QString& strReason);

// An era year typed alone (明治元年, H1) read together with a month (1-12, bLeap) and a day (0:
// none) given apart, as the era date reader reads the whole date (明治元年3月24日): the era must be
// in force then. False, date unchanged, when strText is not an era year alone (a Western year, a
// date with a month, no date: bEraYear false) or when the whole date is refused (bEraYear true,
// the reason in strReason).
bool ParseEraYearWithDay(const QString& strText, const CGengouEra* pEras, int nMonth, bool bLeap, int nDay,
                         SEraDate& date, QString& strReason, bool& bEraYear);

// The era dates of date in every era of pEras in force then, joined by "・" ("平成元年1月8日");
// empty without a table or when none is.
QString EraDatesOf(const CGengouEra* pEras, const SEraDate& date);

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
