// Every undoable change of a chronology, undone and redone twice over: undo gives back exactly
// the document it changed (each field of each event, their order within a year, the table's texts,
// the base year, the era and period tables), redo exactly the changed one, and each step names an
// event that is there.
#include <QtTest>

#include <QSignalSpy>
#include <QUndoStack>

#include <framework/Cp932.h>
#include <shared/qt/QtText.h>

#include "Chronology.h"
#include "EventTestData_test.h"
#include "NenpyoDoc.h"

namespace {

QString Text(const CString& str)
{
    return QString::fromStdString(Cp932ToUtf8Lossy(str.View()));
}

QString TableText(const CGengouEra& table)
{
    QString str = Text(table.GetFileName()) + QLatin1Char('|') + Text(table.GetTableName()) + QLatin1Char('\n');
    for (const SGengouEraTable& rec : table.GetGengouEraTable())
        str += QStringLiteral("%1 %2-%3 %4\n").arg(Text(rec.strGengou)).arg(rec.lBeginYear).arg(rec.lEndYear).arg(Text(rec.strNote));
    return str;
}

// Everything a change may touch, as text.
QString Snapshot(const CNenpyoDoc& doc)
{
    QString str = Text(doc.Events().GetTableName()) + QLatin1Char('|') + Text(doc.Events().GetExplanation()) + QLatin1Char('\n');
    for (const auto& pEvent : doc.Events().GetEventData()) {
        const SEventData& e = *pEvent;
        str += QStringLiteral("%1/%2/%3/%4 p%5 %6 [%7]\n")
                   .arg(e.lYear)
                   .arg(e.nMonth)
                   .arg(e.bLeapMonth)
                   .arg(e.nDay)
                   .arg(e.nPriority)
                   .arg(Text(e.strEvent), Text(e.strNote));
    }
    const CBaseYear& base = doc.BaseYear();
    CString strSupplement;
    base.GetSupplement(strSupplement);
    str += QStringLiteral("base %1 %2 %3-%4 %5 %6 %7\n")
               .arg(doc.HasBaseYear())
               .arg(Text(base.GetTableName()))
               .arg(base.GetBaseWesternYear())
               .arg(base.GetEndWesternYear())
               .arg(base.GetKazoe())
               .arg(base.GetEndYearKaiki())
               .arg(Text(strSupplement));
    // The files the document names go with the tables.
    return str + TableText(doc.Eras()) + FromPath(doc.ErasPath()) + TableText(doc.Periods()) + FromPath(doc.PeriodsPath());
}

SEventData Dated(std::int32_t lYear, const char* pszText, int nMonth, int nDay, bool bLeap = false,
                 const char* pszNote = "")
{
    SEventData event = Event(lYear, pszText, 1, nMonth, nDay);
    event.bLeapMonth = bLeap;
    event.strNote = LiteralToCp932(pszNote);
    return event;
}

std::unique_ptr<CNenpyoDoc> Sample()
{
    auto pDoc = std::make_unique<CNenpyoDoc>();
    pDoc->New({});
    for (const SEventData& event :
         {Event(1600, "関ヶ原", 0), Dated(1600, "同じ年 二", 9, 15), Event(1600, "同じ年 三", 2), Dated(1603, "幕府", 2, 12),
          Dated(1860, "閏月", 3, 3, true, "注\r\n二行目"), Event(1868, "明治", 0), Event(1868, "<a href=\"x.html\">リンク</a>", 1)})
        pDoc->Events().SetData(event, true, -1, PRIORITY_ALL);
    pDoc->Events().SetTableName(CP932("日本史"));
    CGengouEra eras;
    eras.SetData(CP932("慶長"), 1596, 1615, "");
    eras.SetData(CP932("明治"), 1868, 1912, "");
    pDoc->SetEras(eras, "/tables/慶長.lgn");
    return pDoc;
}

} // namespace

class CNenpyoCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void undoAndRedoGiveBackExactlyWhatWasThere()
    {
        CBaseYear baseYear;
        baseYear.SetTableName(CP932("江戸"));
        baseYear.SetBaseWesternYear(1603);
        baseYear.SetEndWesternYear(1867);
        baseYear.SetKazoe(true);
        CGengouEra otherEras;
        otherEras.SetData(CP932("平成"), 1989, 2019, "");
        CGengouEra periods;
        periods.SetData(CP932("江戸時代"), 1603, 1868, "");
        const struct {
            const char* pszName;
            std::function<bool(CChronology&)> change;
        } aChanges[] = {
            {"add among the same year", [](CChronology& c) { c.AddEvent(Dated(1600, "新しい", 9, 15)); return true; }},
            {"add the same again", [](CChronology& c) { c.AddEvent(Event(1600, "関ヶ原", 0)); return true; }},
            {"add before everything", [](CChronology& c) { c.AddEvent(Event(-660, "最初")); return true; }},
            {"edit into another year", [](CChronology& c) { return c.EditEvent(1, Event(1700, "動いた")); }},
            {"edit in its year", [](CChronology& c) { return c.EditEvent(2, Event(1600, "書き換え", 0)); }},
            {"edit the note only", [](CChronology& c) { return c.EditEvent(4, Dated(1860, "閏月", 3, 3, true, "")); }},
            {"delete the first", [](CChronology& c) { return c.DeleteEvent(0); }},
            {"delete in the middle of a year", [](CChronology& c) { return c.DeleteEvent(1); }},
            {"delete the last", [](CChronology& c) { return c.DeleteEvent(6); }},
            {"move down", [](CChronology& c) { return c.MoveEvent(0, false) == CChronology::EMove::Moved; }},
            {"move up", [](CChronology& c) { return c.MoveEvent(6, true) == CChronology::EMove::Moved; }},
            {"merge", [](CChronology& c) {
                 auto pOther = std::make_unique<CYearEvent>();
                 pOther->SetData(Event(1600, "併合 一"), true, -1, PRIORITY_ALL);
                 pOther->SetData(Event(1900, "併合 二"), true, -1, PRIORITY_ALL);
                 c.Merge(std::move(pOther), 3);
                 return true;
             }},
            {"table text", [](CChronology& c) { return c.SetTableText(CP932("新しい名前"), CP932("説明\r\n二行目")); }},
            {"base year", [&](CChronology& c) { c.SetBaseYear(baseYear, true); return true; }},
            {"eras", [&](CChronology& c) { c.SetReferenceTable(HEADER_GENGOU, otherEras, "/tables/平成.lgn"); return true; }},
            {"periods", [&](CChronology& c) { c.SetReferenceTable(HEADER_JIDAI, periods, "/tables/江戸.ler"); return true; }},
        };
        for (const auto& test : aChanges) {
            CChronology chronology;
            chronology.Replace(Sample());
            const QString strBefore = Snapshot(chronology.Doc());
            QSignalSpy changed(&chronology, &CChronology::changed);
            QVERIFY2(test.change(chronology), test.pszName);
            const QString strAfter = Snapshot(chronology.Doc());
            QVERIFY2(strAfter != strBefore, test.pszName);
            QCOMPARE(chronology.UndoStack()->count(), 1);
            for (int nRound = 0; nRound < 2; ++nRound) {
                changed.clear();
                chronology.UndoStack()->undo();
                QCOMPARE(Snapshot(chronology.Doc()), strBefore);
                chronology.UndoStack()->redo();
                QCOMPARE(Snapshot(chronology.Doc()), strAfter);
                // Each step announced once, naming an event of the table or none.
                QCOMPARE(changed.size(), 2);
                for (const QList<QVariant>& args : changed) {
                    const int nSelect = args.at(0).toInt();
                    QVERIFY2(nSelect >= -1 && nSelect < chronology.Doc().Events().GetLen() + 1, test.pszName);
                }
            }
        }
    }

    void theBaseYearTakenAwayComesBackWhole()
    {
        CChronology chronology;
        auto pDoc = Sample();
        CBaseYear baseYear;
        baseYear.SetTableName(CP932("皇紀"));
        baseYear.SetBaseWesternYear(-660);
        baseYear.SetDisplayMinus(true);
        baseYear.SetSupplement(CP932("補足"));
        pDoc->BaseYear() = baseYear;
        pDoc->SetHasBaseYear(true);
        chronology.Replace(std::move(pDoc));
        const QString strWith = Snapshot(chronology.Doc());
        chronology.SetBaseYear(CBaseYear(), false);
        QVERIFY(!chronology.Doc().HasBaseYear());
        chronology.UndoStack()->undo();
        QVERIFY(chronology.Doc().HasBaseYear());
        QCOMPARE(Snapshot(chronology.Doc()), strWith);
        chronology.UndoStack()->redo();
        QVERIFY(!chronology.Doc().HasBaseYear());
    }

    // Several changes undone in turn walk back through each state, and redone forward again.
    void aRunOfChangesWalksBackAndForth()
    {
        CChronology chronology;
        chronology.Replace(Sample());
        QStringList states{Snapshot(chronology.Doc())};
        chronology.AddEvent(Event(1750, "一"));
        states << Snapshot(chronology.Doc());
        QVERIFY(chronology.EditEvent(0, Event(1950, "二")));
        states << Snapshot(chronology.Doc());
        QVERIFY(chronology.DeleteEvent(3));
        states << Snapshot(chronology.Doc());
        QCOMPARE(chronology.MoveEvent(0, false), CChronology::EMove::Moved);
        states << Snapshot(chronology.Doc());
        for (int n = static_cast<int>(states.size()) - 2; n >= 0; --n) {
            chronology.UndoStack()->undo();
            QCOMPARE(Snapshot(chronology.Doc()), states[n]);
        }
        QVERIFY(!chronology.IsModified());
        for (int n = 1; n < static_cast<int>(states.size()); ++n) {
            chronology.UndoStack()->redo();
            QCOMPARE(Snapshot(chronology.Doc()), states[n]);
        }
    }
};

QTEST_GUILESS_MAIN(CNenpyoCommandsTest)
#include "NenpyoCommands_test.moc"
