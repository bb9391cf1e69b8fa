// Text typed into Nenpyo's dialogs on its way to the tables.
#pragma once

#include <cstdint>

#include <QString>

#include <framework/String.h>

// A Western year as typed: optional sign and digits within the 32-bit range, blanks around allowed
// (full-width digits and minus too). False, lYear unchanged, otherwise.
bool ParseYear(const QString& strText, std::int32_t& lYear);

// The code page 932 form of what the user typed into the field strField. False, with a message
// naming the field and the first character that code page 932 cannot hold, when there is one:
// the tables store code page 932 only, and nothing typed is changed silently.
bool ToCp932(const QString& strText, CString& strCp932, const QString& strField, QString& strMessage);
