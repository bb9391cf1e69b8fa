"""Columns built in C++: Events.to_dataframe, Eras.era_dates and Eras.parse_many, and their cost."""
import datetime
import resource
import subprocess
import sys
import time

import numpy
import pandas
import pytest

import corvane
from conftest import HEADER, SAMPLE


def test_dataframe_holds_what_the_records_hold(sample):
    for priority in corvane.Priority:
        frame = sample.to_dataframe(priority)
        records = sample.to_records(priority)
        assert len(frame) == len(records)
        # pandas' missing values back to None, numpy's numbers back to int and bool.
        back = [{k: (None if v is pandas.NA else v.item() if hasattr(v, "item") else v) for k, v in row.items()}
                for row in frame.to_dict("records")]
        assert back == records
    frame = sample.to_dataframe()
    assert {str(t) for t in frame.dtypes} == {"int32", "Int8", "bool", "object", "int8"}
    assert [str(frame[c].dtype) for c in ("month", "day", "leap", "priority")] == ["Int8", "Int8", "bool", "int8"]
    assert list(frame.columns) == ["year", "month", "day", "leap", "text", "note", "priority", "link"]


def test_dataframe_of_an_empty_table_has_the_columns():
    frame = corvane.Events().to_dataframe()
    assert len(frame) == 0 and list(frame.columns)[:3] == ["year", "month", "day"]


def test_pandas_is_imported_only_by_the_calls_that_return_its_objects():
    code = ("import sys, corvane; e = corvane.Events.load(sys.argv[1]); e.to_records(); "
            "corvane.Eras.shipped().era_dates(['1989-01-08']); print('pandas' in sys.modules); "
            "e.to_dataframe(); print('pandas' in sys.modules)")
    out = subprocess.run([sys.executable, "-c", code, str(SAMPLE)], check=True, capture_output=True, text=True)
    assert out.stdout.split() == ["False", "True"]


# Values of every kind era_dates takes, with their era dates (None for a missing value).
VALUES = [
    ("1989-01-08", "平成元年1月8日"),
    (corvane.Date(1868, 4, 1, leap=True), "慶応4年閏4月1日"),
    (datetime.date(2019, 5, 1), "令和元年5月1日"),
    (pandas.Timestamp("1936-02-26 05:00"), "昭和11年2月26日"),
    (numpy.datetime64("1964-10-10"), "昭和39年10月10日"),
    (None, None),
    (float("nan"), None),
    (pandas.NaT, None),
    (numpy.datetime64("NaT"), None),
]


@pytest.mark.parametrize("wrap", [list, tuple, lambda v: numpy.array(v, dtype=object)])
def test_era_dates_of_sequences(eras, wrap):
    values, texts = zip(*VALUES)
    assert eras.era_dates(wrap(values)) == list(texts)


def test_era_dates_of_pandas_and_numpy_datetimes(eras):
    days = pandas.Series(pandas.to_datetime(["1989-01-07", None, "1989-01-08"]), index=[10, 20, 30], name="d")
    result = eras.era_dates(days)
    assert isinstance(result, pandas.Series) and list(result.index) == [10, 20, 30]
    assert list(result) == ["昭和64年1月7日", None, "平成元年1月8日"]
    assert eras.era_dates(days.to_numpy()) == list(result)
    parts = eras.era_dates(days, parts=True)
    assert list(parts.index) == [10, 20, 30] and list(parts["text"]) == list(result)
    assert parts.loc[30, ["era", "era_year", "month", "day", "leap"]].tolist() == ["平成", 1, 1, 8, False]
    assert parts["era_year"].isna().tolist() == [False, True, False]


def test_era_dates_of_an_event_table_are_those_of_each_event(eras, sample):
    expected = [eras.era_date(e.date) if eras.eras_on(e.date) else None for e in sample]
    assert eras.era_dates(sample, errors="coerce") == expected
    with pytest.raises(corvane.DateError):
        eras.era_dates(sample)   # the first events are before the first era
    parts = eras.era_dates(sample, errors="coerce", parts=True)
    dated = parts.dropna(subset=["era"])
    assert all(t.startswith(era) for t, era in zip(dated["text"], dated["era"]))
    assert all(t.startswith(f"{era}{'元' if y == 1 else y}年") for t, era, y in zip(dated["text"], dated["era"], dated["era_year"]))


@pytest.mark.parametrize("bad", ["1989-02-30", "xyz", "0644", "平成\U0001F600年"])
def test_era_dates_raise_or_coerce(eras, bad):
    with pytest.raises(corvane.DateError) as caught:
        eras.era_dates(["1989-01-08", bad])
    assert caught.value.text == bad
    assert eras.era_dates(["1989-01-08", bad], errors="coerce") == ["平成元年1月8日", None]


def test_an_old_datetime_is_raised_or_coerced(eras):
    with pytest.raises(ValueError):
        eras.era_dates([datetime.date(600, 1, 1)])   # before 701 a day has no date of the calendar
    assert eras.era_dates([datetime.date(600, 1, 1)], errors="coerce") == [None]


@pytest.mark.parametrize("call, error", [
    (lambda e: e.era_dates("1989-01-08"), TypeError),
    (lambda e: e.era_dates([1989]), TypeError),
    (lambda e: e.era_dates([1989], errors="coerce"), TypeError),
    (lambda e: e.era_dates([], errors="ignore"), ValueError),
    (lambda e: e.parse_many(["H1.1.8"], errors="Raise"), ValueError),
    (lambda e: e.parse_many([b"H1.1.8"]), TypeError),
])
def test_wrong_arguments(eras, call, error):
    with pytest.raises(error):
        call(eras)


def test_parse_many(eras):
    texts = ["H1.1.8", None, "慶応4年閏4月1日", float("nan"), "令和二〇年"]
    dates = [corvane.Date(1989, 1, 8), None, corvane.Date(1868, 4, 1, leap=True), None, corvane.Date(2038)]
    assert eras.parse_many(texts) == dates
    assert eras.parse_many(numpy.array(texts, dtype=object)) == dates
    series = eras.parse_many(pandas.Series(texts, index=list("abcde")))
    assert list(series.index) == list("abcde") and list(series) == dates
    parts = eras.parse_many(texts, parts=True)
    assert parts["year"].tolist() == [1989, pandas.NA, 1868, pandas.NA, 2038]
    assert parts["month"].tolist() == [1, pandas.NA, 4, pandas.NA, pandas.NA]
    assert parts["leap"].tolist() == [False, False, True, False, False]
    assert list(parts["date"]) == dates
    with pytest.raises(corvane.DateError) as caught:
        eras.parse_many(["H1.1.8", "1989-02-30"])
    assert caught.value.text == "1989-02-30" and "2月は28日まで" in caught.value.reason
    assert eras.parse_many(["x", "1989", "\U0001F600"], errors="coerce") == [None, corvane.Date(1989), None]
    assert eras.parse_many([numpy.datetime64("NaT"), numpy.float64("nan")]) == [None, None]
    with pytest.raises(TypeError):
        eras.parse_many([numpy.datetime64("1989-01-08")])   # a text is a str


def test_parts_keep_the_last_month_and_day(eras):
    parts = eras.era_dates(["1989-12-31", "2019-12"], parts=True)
    assert parts[["month", "day"]].values.tolist() == [[12, 31], [12, pandas.NA]]
    assert eras.parse_many(["1989-12-31"], parts=True)[["month", "day"]].values.tolist() == [[12, 31]]


def big_table(path, count):
    """An event file of count events over the Gregorian years, one in ten with a link."""
    lines = [HEADER]
    for i in range(count):
        text = f'出来事{i}<a href="https://example.org/{i}">詳細</a>' if i % 10 == 0 else f"出来事{i}の本文です"
        lines.append(f'{1873 + i // 8000}, {1 + i % 12}, {1 + i % 28}, "{text}", "{"注記" if i % 3 == 0 else ""}", '
                     f'{i % 3}, 0\r\n'.encode("cp932"))
    path.write_bytes(b"".join(lines))
    return corvane.Events.load(path)


def resident():
    """The bytes of memory the process has resident now."""
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * resource.getpagesize()


def test_cost_of_columns_for_a_million_events(tmp_path, eras, capsys):
    """Reports the time and memory of to_dataframe and era_dates of 10^6 events (asserts nothing of it)."""
    events = big_table(tmp_path / "big.lev", 10**6)
    before = resident()
    wall, cpu = time.perf_counter(), time.process_time()
    frame = events.to_dataframe()
    figures = [("to_dataframe", time.perf_counter() - wall, time.process_time() - cpu)]
    grown = (resident() - before) / 2**20
    wall, cpu = time.perf_counter(), time.process_time()
    texts = eras.era_dates(events)
    figures.append(("era_dates(events)", time.perf_counter() - wall, time.process_time() - cpu))
    assert len(frame) == len(texts) == 10**6 and texts[-1] == eras.era_date(events[-1].date)
    with capsys.disabled():
        for name, seconds, cpu_seconds in figures:
            print(f"\n10^6 events, {name}: {seconds:.2f} s ({cpu_seconds:.2f} s CPU)", end="")
        print(f"; the frame holds {grown:.0f} MiB")
