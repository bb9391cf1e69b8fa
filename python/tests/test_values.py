"""Tables and records as values (copy, pickle, ==, slices) and the checks of the values an Event takes."""
import copy
import multiprocessing
import pickle

import pytest

import corvane
from conftest import HEADER, SAMPLE, SAMPLE_BASE, SHIPPED


def tables():
    return [corvane.Events.load(SAMPLE), corvane.Eras.load(SHIPPED), corvane.BaseYear.load(SAMPLE_BASE)]


def records():
    events = corvane.Events.load(SAMPLE)
    return [events[3], events[-1], corvane.Eras.shipped()[-1], corvane.Date(1868, 4, 1, leap=True), corvane.Date(-660)]


@pytest.mark.parametrize("value", tables() + records(), ids=lambda v: type(v).__name__)
def test_copies_and_pickles_are_equal_and_independent(value):
    for twin in (copy.copy(value), copy.deepcopy(value), pickle.loads(pickle.dumps(value, protocol=pickle.HIGHEST_PROTOCOL))):
        assert type(twin) is type(value) and twin == value
        if isinstance(value, corvane.Events):
            twin.name = "changed"
            assert twin != value and value.name != "changed"


def test_two_loads_of_one_file_are_equal_and_a_change_is_seen():
    first, second = tables(), tables()
    assert first == second
    events = first[0]
    del events[5]
    assert events != second[0]
    events2 = second[0][:]
    assert events2 == second[0] and events2 is not second[0]
    assert corvane.Eras.load(SHIPPED) != corvane.Eras() and corvane.BaseYear.load(SAMPLE_BASE) != corvane.BaseYear()
    assert (corvane.Events() == 1) is False and corvane.Events() != "x"


def test_pickled_tables_keep_bytes_code_page_932_lacks(tmp_path):
    # A lone lead byte and an undefined code come back as the same bytes.
    (tmp_path / "odd.lev").write_bytes(HEADER + b'1984, 1, 1, "a\x81", "\x85\x40", 0, 0\r\n')
    table = pickle.loads(pickle.dumps(corvane.Events.load(tmp_path / "odd.lev")))
    table.save(tmp_path / "back.lev")
    assert (tmp_path / "back.lev").read_bytes() == (tmp_path / "odd.lev").read_bytes()


def count_high(events):
    return len(events.filter(corvane.Priority.HIGH)), corvane.Eras.shipped().era_date(events[-1].date)


def test_tables_go_through_a_process_pool():
    events = corvane.Events.load(SAMPLE)
    halves = [events[: len(events) // 2], events[len(events) // 2:]]
    with multiprocessing.get_context("spawn").Pool(2) as pool:
        results = pool.map(count_high, halves)
    assert sum(n for n, _ in results) == len(events.filter(corvane.Priority.HIGH))
    assert results[-1][1] == corvane.Eras.shipped().era_date(events[-1].date)


def test_slices_and_item_assignment():
    events = corvane.Events.load(SAMPLE)
    part = events[10:20]
    assert isinstance(part, corvane.Events) and list(part) == list(events)[10:20]
    assert (part.name, part.explanation) == (events.name, events.explanation)
    assert list(events[::-50]) == list(events)[::-50] and len(events[5:2]) == 0 and len(events[-3:]) == 3
    late = corvane.Event(2100, "未来", month=1, day=1, note="n", priority=2)
    events[0] = late
    assert events[0] == late and len(events) == 362   # where it stands: no sorting
    events[-1] = late
    assert events[361] == late
    for index in (362, -363):
        with pytest.raises(IndexError):
            events[index] = late
    with pytest.raises(TypeError):
        events[0] = "not an event"


@pytest.mark.parametrize("value", [
    corvane.Event(1868, "x", month=4, day=1, leap=True, note="a'b\"c", priority=2),
    corvane.Event(-660, "神武", month=1, day=1),
    corvane.Event(2024, ""),
    corvane.Date(1868, 4, 1, leap=True),
    corvane.Date(-1),
    corvane.Date(1989, 1),
])
def test_repr_evals_back(value):
    assert eval(repr(value), {"corvane": corvane}) == value


# (arguments of Event, the field the ValueError names)
BAD_EVENTS = [
    (dict(month=0), "month"), (dict(month=13), "month"), (dict(month=14, day=99), "month"),
    (dict(month=1, day=0), "day"), (dict(month=2, day=30), "day"), (dict(month=1, day=32), "day"),
    (dict(day=5), "day"), (dict(leap=True), "leap"), (dict(month=4, leap=True), "leap"),
    (dict(priority=3), "priority"), (dict(priority=-1), "priority"), (dict(priority=7), "priority"),
]


@pytest.mark.parametrize("kwargs, field", BAD_EVENTS)
def test_event_refuses_what_is_no_date_or_priority(kwargs, field):
    with pytest.raises(ValueError, match=field):
        corvane.Event(2000, "x", **kwargs)


@pytest.mark.parametrize("year, month, day, leap", [
    (2000, 2, 29, False), (1868, 4, 29, True), (1872, 12, 2, False), (100, 12, 30, True), (2024, None, None, False),
])
def test_event_takes_the_days_that_exist(year, month, day, leap):
    event = corvane.Event(year, "x", month=month, day=day, leap=leap)
    assert (event.year, event.month, event.day, event.leap) == (year, month, day, leap)


@pytest.mark.parametrize("field, value", [("month", 13), ("day", 31), ("priority", 3), ("leap", True), ("month", None)])
def test_a_refused_change_leaves_the_event_as_it_was(field, value):
    event = corvane.Event(1989, "x", month=2, day=28, priority=1)
    before = copy.copy(event)
    with pytest.raises(ValueError, match=field if field != "month" or value else "day"):
        setattr(event, field, value)
    assert event == before
    event.day = None
    event.month = 12
    event.day = 31
    assert (event.month, event.day) == (12, 31)


@pytest.mark.parametrize("priority", [4, -1, 5])
def test_filters_take_only_priorities(sample, priority):
    for call in (sample.filter, sample.to_records, sample.to_dataframe):
        with pytest.raises(ValueError):
            call(priority)
    with pytest.raises(TypeError):
        sample.filter("HIGH")
    assert len(sample.filter(2)) == len(sample.filter(corvane.Priority.LOW))


def test_year_0_is_refused_as_by_cycle():
    for call in (lambda: corvane.Date(0), lambda: corvane.cycle(0)):
        with pytest.raises(ValueError, match="year 0"):
            call()


def test_era_and_base_year_construction():
    era = corvane.Era("平成", 1989, 2019, begin_date=corvane.Date(1989, 1, 8), end_date=corvane.Date(2019, 4, 30))
    assert corvane.Eras.shipped()[-2] == era and corvane.Era("平成", 1989, 2019) != era
    assert corvane.Era("x", 1, 2, "n").note == "n"
    for bad in (dict(begin_date=corvane.Date(1988, 1, 8)), dict(end_date=corvane.Date(2019)), dict(end=1900)):
        with pytest.raises(ValueError):
            corvane.Era(**{"name": "x", "begin": 1989, "end": 2019, **bad})
    empty = corvane.BaseYear()
    assert empty == corvane.BaseYear() and (empty.base, empty.end, empty.label(2000)) == (1, None, "1999")


def test_tables_of_one_name_differ_by_a_record(tmp_path):
    events = corvane.Events.load(SAMPLE)
    changed = copy.copy(events)
    changed[100] = corvane.Event(1, "x")
    assert changed != events and len(changed) == len(events)
    lines = SHIPPED.read_bytes().split(b"\r\n")
    (tmp_path / "short.lgn").write_bytes(b"\r\n".join(lines[:-3] + lines[-2:]))
    shorter = corvane.Eras.load(tmp_path / "short.lgn")
    assert shorter.name == corvane.Eras.load(SHIPPED).name and shorter != corvane.Eras.load(SHIPPED)
