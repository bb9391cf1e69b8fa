// The chronology being edited, without a window or a display: every change is one command that
// undoes, each announces itself (a missed signal leaves the table model stale), the one rule of
// unsaved changes, and the table model following it.
#include <QtTest>

#include <QSignalSpy>
#include <QUndoStack>

#include <framework/Cp932.h>

#include "Chronology.h"
#include "EventModel.h"
#include "EventTestData_test.h"

namespace {

std::unique_ptr<CNenpyoDoc> Doc(std::initializer_list<SEventData> events)
{
    auto pDoc = std::make_unique<CNenpyoDoc>();
    pDoc->New({});
    for (const SEventData& event : events)
        pDoc->Events().SetData(event, true, -1, PRIORITY_ALL);
    return pDoc;
}

} // namespace

class CChronologyTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyChangeIsAnnouncedAndUndoes()
    {
        CChronology chronology;
        chronology.Replace(Doc({Event(1600, "a", 0), Event(1600, "b", 2), Event(1700, "c", 0)}));
        QSignalSpy changed(&chronology, &CChronology::changed);
        CEventModel model;
        model.Follow(&chronology);
        QCOMPARE(model.rowCount(), 3);

        auto pOther = std::make_unique<CYearEvent>();
        pOther->SetData(Event(1500, "merged"), true, -1, PRIORITY_ALL);
        CBaseYear baseYear;
        baseYear.SetBaseWesternYear(1868);
        const struct {
            const char* pszName;
            std::function<bool()> change;
            int nSelect;     // the event the change announces
            int nRows;       // the model's rows after it
        } aChanges[] = {
            {"add", [&] { chronology.AddEvent(Event(1600, "new")); return true; }, 2, 4},
            {"edit", [&] { return chronology.EditEvent(0, Event(1800, "late")); }, 3, 4},
            {"delete", [&] { return chronology.DeleteEvent(3); }, 2, 3},
            {"move", [&] { return chronology.MoveEvent(0, false) == CChronology::EMove::Moved; }, 1, 3},
            {"merge", [&] { chronology.Merge(std::move(pOther), 2); return true; }, 3, 4},
            {"text", [&] { return chronology.SetTableText(CP932("名前"), CString()); }, -1, 4},
            {"base year", [&] { chronology.SetBaseYear(baseYear, true); return true; }, -1, 4},
            {"eras", [&] { chronology.SetReferenceTable(HEADER_GENGOU, CGengouEra(), {}); return true; }, -1, 4},
        };
        int nRevision = chronology.Revision();
        for (const auto& test : aChanges) {
            changed.clear();
            QVERIFY2(test.change(), test.pszName);
            QCOMPARE(changed.size(), 1);
            QCOMPARE(changed.takeFirst().at(0).toInt(), test.nSelect);
            QCOMPARE(model.rowCount(), test.nRows);
            QVERIFY(chronology.Revision() > nRevision);
            nRevision = chronology.Revision();
            QVERIFY(chronology.IsModified());
        }
        // The merge followed the selected event (c, list index 2) to its new place.
        SEventData data;
        QVERIFY(chronology.Doc().Events().GetAt(3, &data, PRIORITY_ALL));
        QCOMPARE(Cp932ToUtf8Lossy(data.strEvent.View()), std::string("c"));

        // Undone all the way: announced each time, back to the table as it was.
        while (chronology.UndoStack()->canUndo()) {
            changed.clear();
            chronology.UndoStack()->undo();
            QCOMPARE(changed.size(), 1);
        }
        QVERIFY(!chronology.IsModified());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(chronology.Doc().Events().GetLen(), 3);
    }

    void nothingToChangePushesNothing()
    {
        CChronology chronology;
        chronology.Replace(Doc({Event(1600, "a", 0), Event(1601, "b", 0)}));
        QVERIFY(!chronology.EditEvent(0, Event(1600, "a", 0)));   // the same data
        QVERIFY(!chronology.EditEvent(5, Event(1600, "x")));
        QVERIFY(!chronology.DeleteEvent(-1));
        QVERIFY(!chronology.DeleteEvent(2));
        QVERIFY(!chronology.SetTableText(CString(), CString()));
        QCOMPARE(chronology.MoveEvent(0, false), CChronology::EMove::NotInYear);
        QCOMPARE(chronology.MoveEvent(7, true), CChronology::EMove::NotInYear);
        QCOMPARE(chronology.UndoStack()->count(), 0);
        QVERIFY(!chronology.IsModified());

        // A move past an event the filter hides is refused.
        chronology.Replace(Doc({Event(1600, "a", 0), Event(1600, "hidden", 2), Event(1600, "c", 0)}));
        chronology.SetFilter(PRIORITY_HIGH);
        QCOMPARE(chronology.MoveEvent(0, false), CChronology::EMove::AcrossHidden);
        QCOMPARE(chronology.UndoStack()->count(), 0);
    }

    void filterAndReplacementAreAnnouncedAndTheModelFollows()
    {
        CChronology chronology;
        CEventModel model;
        model.Follow(&chronology);
        QSignalSpy filter(&chronology, &CChronology::filterChanged);
        QSignalSpy replaced(&chronology, &CChronology::replaced);
        QSignalSpy modified(&chronology, &CChronology::modifiedChanged);
        chronology.Replace(Doc({Event(1600, "a", 0), Event(1601, "b", 2)}));
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(model.rowCount(), 2);
        chronology.SetFilter(PRIORITY_HIGH);
        chronology.SetFilter(PRIORITY_HIGH);   // no change: no signal
        QCOMPARE(filter.size(), 1);
        QCOMPARE(model.Filter(), PRIORITY_HIGH);
        QCOMPARE(model.rowCount(), 1);

        // Unsaved: the stack not clean, or recovered; saving ends both and the read-only state.
        modified.clear();
        chronology.AddEvent(Event(1700, "c", 0));
        QCOMPARE(modified.size(), 1);
        QCOMPARE(model.rowCount(), 2);
        chronology.Replace(Doc({}), true);
        QVERIFY(chronology.IsReadOnly());
        QVERIFY(!chronology.IsModified());
        QCOMPARE(chronology.UndoStack()->count(), 0);
        QCOMPARE(model.rowCount(), 0);
        chronology.AddEvent(Event(1700, "c", 0));
        QVERIFY(chronology.IsModified());
        modified.clear();
        chronology.MarkSaved();
        QVERIFY(!chronology.IsModified());
        QVERIFY(!chronology.IsReadOnly());
        QVERIFY(modified.size() >= 1);
    }
};

QTEST_GUILESS_MAIN(CChronologyTest)
#include "Chronology_test.moc"
