// Every exported class of the Corvane chronology table library.
//
//     #include <corvane/corvane.h>
//
// CTableBase (table base), SGengouEraTable and CGengouEra (era names and periods), SEventData and
// CYearEvent (event chronologies), CBaseYear (base-year tables), CHtmlManage (markup removal and
// links) and CFilePathManager (relative file names).
#pragma once

#include <corvane/FilePathManager.h>
#include <corvane/GengouEra.h>
#include <corvane/HtmlManage.h>
#include <corvane/FileStatus.h>
#include <corvane/TableBase.h>

// The event and base-year tables join as their headers land.
#if __has_include(<corvane/EventData.h>)
#include <corvane/EventData.h>
#endif
#if __has_include(<corvane/YearEvent.h>)
#include <corvane/YearEvent.h>
#endif
#if __has_include(<corvane/BaseYear.h>)
#include <corvane/BaseYear.h>
#endif
