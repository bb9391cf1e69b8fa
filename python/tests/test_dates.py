"""Era dates both ways on the shipped era file, in every form a date is taken, and their errors."""
import datetime
import pickle
import re
import tracemalloc

import pytest

import corvane

# (a date in any form taken, its era date); each holds whether or not the era file gives days.
ERA_DATES = [
    ("1989-01-08", "平成元年1月8日"),
    ("1989/1/8", "平成元年1月8日"),
    ("H1.1.8", "平成元年1月8日"),
    ("平成元年1月8日", "平成元年1月8日"),
    ("昭和六十三年一月七日", "昭和63年1月7日"),
    ("１９８４年１月", "昭和59年1月"),
    (datetime.date(2019, 5, 1), "令和元年5月1日"),
    (datetime.datetime(1936, 2, 26, 5, 0), "昭和11年2月26日"),
    (corvane.Date(1850, 3, 1), "嘉永3年3月1日"),
    (corvane.Date(1860, 3, 1, leap=True), "万延元年閏3月1日"),
    ("1945", "昭和20年"),
]


@pytest.mark.parametrize("date, text", ERA_DATES)
def test_era_dates(eras, date, text):
    assert eras.era_date(date) == text


def test_both_courts(eras):
    assert [e.name for e in eras.eras_on("1350")] == ["貞和", "正平", "観応"]
    assert [eras.era_date("1350-03-01", era=name) for name in ("観応", "正平")] == ["観応元年3月1日", "正平5年3月1日"]
    with pytest.raises(corvane.DateError):
        eras.era_date("1989-01-08", era="観応")
    with pytest.raises(ValueError):
        eras.era_date("1989-01-08", era="無い")


@pytest.mark.parametrize("text, date", [
    ("1989-01-08", corvane.Date(1989, 1, 8)),
    ("H01.01.08", corvane.Date(1989, 1, 8)),
    ("慶応4年閏4月1日", corvane.Date(1868, 4, 1, leap=True)),
    ("令和二〇年", corvane.Date(2038)),
    ("-0660", corvane.Date(-660)),
])
def test_parse(eras, text, date):
    parsed = eras.parse(text)
    assert parsed == date and eras.parse(str(parsed)) == parsed and hash(parsed) == hash(date)


@pytest.mark.parametrize("text, reason", [
    ("1989-02-30", "2月は28日まで"),
    ("", "日付がありません"),
    ("昭和65年", None),
    ("1872年12月3日", None),
    ("H1.1.8 and more", None),
    ("xyz", None),
])
def test_parse_errors_carry_the_reason(eras, text, reason):
    with pytest.raises(corvane.DateError) as caught:
        eras.parse(text)
    assert caught.value.text == text and caught.value.reason and isinstance(caught.value, ValueError)
    assert reason is None or reason in caught.value.reason


@pytest.mark.parametrize("date, error", [
    (corvane.Date(1989, 2, 30), corvane.DateError),
    (datetime.date(701, 2, 16), ValueError),    # a Gregorian day before 701-02-13 (Julian)
    ("\U0001F600", ValueError),
    (1989, TypeError),
    (corvane.Date(100), corvane.DateError),
])
def test_dates_that_are_refused(eras, date, error):
    with pytest.raises(error):
        eras.era_date(date)


@pytest.mark.parametrize("args, kwargs", [((1989, 13), {}), ((1989, 1, 32), {}), ((1989, None, 1), {}),
                                          ((1989,), {"leap": True}), ((2**31,), {})])
def test_date_shapes(args, kwargs):
    with pytest.raises(ValueError):
        corvane.Date(*args, **kwargs)


def test_date_values():
    day = corvane.Date(1868, 4, 1, leap=True)
    assert (day.year, day.month, day.day, day.leap) == (1868, 4, 1, True)
    assert corvane.Date(1868) < corvane.Date(1868, 4) < corvane.Date(1868, 4, 30) < day < corvane.Date(1868, 5)
    assert pickle.loads(pickle.dumps(day)) == day and repr(day) == "corvane.Date(1868, 4, 1, leap=True)"
    assert str(day) == "1868-閏04-01"


def is_japanese(text):
    return not re.search("[A-Za-z]", text) and re.search("[\u3040-\u9fff]", text)


# Calls that raise DateError, and the text the error carries: the input, a date as its str().
DATE_ERRORS = [
    (lambda e: e.era_date("0644"), "0644"),
    (lambda e: e.era_date(corvane.Date(100)), "0100"),
    (lambda e: e.era_date(corvane.Date(1989, 2, 30)), "1989-02-30"),
    (lambda e: e.era_date("1989-01-08", era="観応"), "1989-01-08"),
    (lambda e: e.era_date(datetime.date(1989, 1, 8), era="観応"), "1989-01-08"),
    (lambda e: e.parse("平成\U0001F600年"), "平成\U0001F600年"),
    (lambda e: e.eras_on("1989-01-08\u2603"), "1989-01-08\u2603"),
    (lambda e: e.parse("1989-02-30"), "1989-02-30"),
]


@pytest.mark.parametrize("call, text", DATE_ERRORS)
def test_date_errors_give_the_reason_in_japanese_and_the_input(eras, call, text):
    with pytest.raises(corvane.DateError) as caught:
        call(eras)
    assert caught.value.text == text and is_japanese(caught.value.reason), caught.value.reason
    assert str(caught.value) == f"{caught.value.reason}: {text!r}"


def brute_years(pair, start, end):
    """The years of a pair by looking at every year of the span."""
    return [y for y in range(start, end + 1) if y != 0 and "".join(corvane.cycle(y)[:2]).endswith(pair)
            and (len(pair) == 1 or "".join(corvane.cycle(y)[:2]) == pair)]


@pytest.mark.parametrize("pair, start, end", [
    ("甲子", -200, 200), ("子", -30, 30), ("庚申", -100, 100), ("乙丑", 1, 1), ("乙丑", -59, -59), ("乙丑", 0, 0),
    ("甲子", 2**31 - 200, 2**31 - 1), ("亥", -2**31, -2**31 + 30), ("甲子", 100, 10), ("癸亥", -61, 0),
])
def test_years_of_are_those_of_the_cycle(pair, start, end):
    years = corvane.years_of(pair, start, end)
    expected = brute_years(pair, start, end)
    assert list(years) == expected and years == expected and len(years) == len(expected)
    assert list(reversed(years)) == expected[::-1] and [years[i] for i in range(-len(years), len(years))] == expected * 2
    assert all(y in years and years.index(y) == i and years.count(y) == 1 for i, y in enumerate(expected))
    assert 0 not in years and (start - 1) not in years and "x" not in years


def test_years_of_the_whole_range_are_lazy():
    tracemalloc.start()
    years = corvane.years_of("子", -2**31, 2**31 - 1)
    size, _ = tracemalloc.get_traced_memory()
    tracemalloc.stop()
    assert size < 10_000 and len(years) == 357913941
    assert years[:2] == brute_years("子", -2**31, -2**31 + 23) and years[-1] == brute_years("子", 2**31 - 13, 2**31 - 1)[-1]
    assert 1984 in years and 1985 not in years and years.index(2020) > 0
    tail = years[-2:]
    assert isinstance(tail, corvane.Years) and tail == [2147483632, 2147483644] and tail == corvane.years_of("子", 2147483630, 2**31 - 1)
    assert years[::-178956970] == [years[-1], years[-178956971], years[-357913941]]
    assert pickle.loads(pickle.dumps(years)) == years and hash(tail) == hash(corvane.years_of("子", 2147483630, 2**31 - 1))
    with pytest.raises(IndexError):
        years[len(years)]
