// Every exported class of the Corvane chronology table library.
//
//     #include <corvane/corvane.h>
//
// CTableBase (table base), SGengouEraTable and CGengouEra (era names and periods), SEventData and
// CYearEvent (event chronologies), CBaseYear (base-year tables), CHtmlManage (markup removal and
// links), CFilePathManager (relative file names), ETableKind with ReadTableHeader (which kind of
// table a file holds), CCalendar (dates as days: the one rule of which dates exist), and
// ParseTypedYear (a Western year as a user types it).
#pragma once

#include <corvane/BaseYear.h>
#include <corvane/Calendar.h>
#include <corvane/EraDateText.h>
#include <corvane/EventData.h>
#include <corvane/FilePathManager.h>
#include <corvane/FileStatus.h>
#include <corvane/GengouEra.h>
#include <corvane/HtmlManage.h>
#include <corvane/TableBase.h>
#include <corvane/TableCheck.h>
#include <corvane/SexagenaryCycle.h>
#include <corvane/TableKind.h>
#include <corvane/YearEvent.h>
#include <corvane/YearRange.h>
#include <corvane/YearText.h>
