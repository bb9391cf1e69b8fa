"""Dates as days: day numbers, Julian and Gregorian days, weekday and 干支, against the C++ tool."""
import datetime
import json

import pytest

import corvane
from conftest import SHIPPED, run_tool

TOOL = "app/corvane-tool/corvane"


def gregorian_jdn(day):
    """The Julian Day Number of a proleptic Gregorian datetime.date."""
    return day.toordinal() + 1721425


# (old-calendar or Gregorian date, Julian day, Gregorian day)
DAYS = [
    (corvane.Date(1582, 6, 2), (1582, 6, 21), datetime.date(1582, 7, 1)),        # 本能寺の変
    (corvane.Date(1600, 9, 15), (1600, 10, 11), datetime.date(1600, 10, 21)),    # 関ヶ原
    (corvane.Date(1868, 9, 8), (1868, 10, 11), datetime.date(1868, 10, 23)),
    (corvane.Date(1872, 12, 2), (1872, 12, 19), datetime.date(1872, 12, 31)),
    (corvane.Date(1868, 4, 1, leap=True), (1868, 5, 10), datetime.date(1868, 5, 22)),
    (corvane.Date(1873, 1, 1), (1872, 12, 20), datetime.date(1873, 1, 1)),
    (corvane.Date(701, 1, 1), (701, 2, 13), datetime.date(701, 2, 17)),
]


@pytest.mark.parametrize("date, julian, gregorian", DAYS)
def test_days_both_ways(date, julian, gregorian):
    assert date.jdn == gregorian_jdn(gregorian)
    assert date.to_gregorian() == gregorian
    assert date.to_julian() == julian
    assert corvane.Date.from_jdn(date.jdn) == date
    assert corvane.Date.from_gregorian(gregorian) == date
    assert corvane.Date.from_julian(*julian) == date


def test_weekday_and_sexagenary_day():
    day = corvane.Date(2000, 1, 1)
    assert (day.weekday, day.sexagenary_day) == (5, "戊午")      # a Saturday
    assert corvane.Date(1989, 1, 8).weekday == 6
    assert corvane.Date(1582, 6, 2).sexagenary_day == "戊子"   # 六月丁亥朔


def test_no_day_number():
    for date in (corvane.Date(700, 12, 30), corvane.Date(1989), corvane.Date(1989, 1),
                 corvane.Date(1868, 4, 30, leap=True)):
        assert date.jdn is None and date.weekday is None and date.sexagenary_day is None
        with pytest.raises(ValueError):
            date.to_gregorian()
        with pytest.raises(ValueError):
            date.to_julian()
    with pytest.raises(ValueError):
        corvane.Date.from_jdn(1977141)
    with pytest.raises(ValueError):
        corvane.Date.from_julian(701, 2, 12)
    with pytest.raises(ValueError):
        corvane.Date.from_julian(1582, 2, 29)


def test_datetime_dates_are_days(eras):
    """A datetime.date from 701-02-13 on is the day it names, whatever the calendar then."""
    assert eras.era_date(datetime.date(1600, 10, 21)) == "慶長5年9月15日"
    assert eras.era_date(datetime.date(1868, 10, 23)) == "明治元年9月8日"
    with pytest.raises(ValueError):
        eras.era_date(datetime.date(600, 1, 1))


def test_era_date_writes_the_era_that_began_last(eras):
    assert eras.era_date("1989") == "平成元年"
    assert eras.era_date(corvane.Date(1989, 1)) == "平成元年1月"


def test_the_tool_agrees():
    """corvane date --json gives the days the module gives, and reads its own days back."""
    texts = ["天正10年6月2日", "慶長5年9月15日", "明治元年9月8日", "明治5年12月2日", "慶応4年閏4月1日", "2000-01-01"]
    lines = [json.loads(line) for line in
             run_tool(TOOL, "date", "--json", "--eras", SHIPPED, *texts).splitlines()]
    assert [line["text"] for line in lines] == texts
    for line in lines:
        date = corvane.Eras.shipped().parse(line["text"])
        assert line["jdn"] == date.jdn
        assert line["gregorian"] == date.to_gregorian().isoformat()
        assert line["julian"] == "%04d-%02d-%02d" % date.to_julian()
        assert (line["weekday"], line["sexagenary_day"]) == (date.weekday, date.sexagenary_day)
        assert corvane.Date.from_gregorian(datetime.date.fromisoformat(line["gregorian"])) == date


def test_the_tool_reads_the_era_file_tamber_remembers(tmp_path):
    """corvane date without --eras: the era file Tamber remembers, else the shipped one."""
    import subprocess
    from conftest import BUILD
    tool = BUILD / TOOL
    if not tool.exists():
        pytest.skip("corvane not built")
    remembered = tmp_path / "other.lgn"
    remembered.write_bytes('[元号], 1\n別表\n\n"試験", 1980, 1990, ""\n'.encode("cp932"))
    (tmp_path / "Haldris").mkdir()
    (tmp_path / "Haldris" / "Tamber.conf").write_text(f"[Gengou]\nFileName={remembered}\n")
    env = {"PATH": "/usr/bin:/bin", "XDG_CONFIG_HOME": str(tmp_path)}

    def date(*texts):
        return subprocess.run([str(tool), "date", *texts], env=env, capture_output=True, text=True).stdout

    assert date("1984") == "1984\t-\t試験5年\n"
    remembered.unlink()
    assert date("1984") == "1984\t-\t昭和59年\n"
