"""The tables from Python give what the C++ programs give, and fail as they do: with exceptions."""
import errno
import os
import json
import resource
import signal

import pytest

import corvane
from conftest import HEADER, PERIODS, SAMPLE, SAMPLE_BASE, SHIPPED, run_tool

TOOL = "app/corvane-tool/corvane"
CLI = "app/tamber/cli/tamber-cli"


@pytest.mark.parametrize("path, periods", [(SHIPPED, False), (PERIODS, True)])
def test_era_records_are_the_exported_ones(path, periods):
    exported = json.loads(run_tool(TOOL, "export", path))
    table = corvane.Eras.load(path, periods=periods)
    assert (table.name, table.explanation) == (exported["name"], exported["explanation"])
    assert [(e.name, e.begin, e.end, e.note) for e in table] == [
        (r["era"], r["begin_year"], r["end_year"], r["note"]) for r in exported["records"]]
    assert table[-1] == list(table)[-1] and len(table) == len(exported["records"])


def test_event_records_are_the_exported_ones(sample):
    exported = json.loads(run_tool(TOOL, "export", SAMPLE))
    none = lambda n: None if n == -1 else n  # noqa: E731
    assert [(e.year, e.month, e.day, e.leap, e.priority, e.text, e.note) for e in sample] == [
        (r["year"], none(r["month"]), none(r["day"]), r["leap_month"], r["priority"], r["text"], r["note"])
        for r in exported["records"]]
    records = sample.to_records()
    assert records[0] == {"year": -660, "month": 1, "day": 1, "leap": False, "text": sample[0].text,
                          "note": sample[0].note, "priority": 1, "link": None}
    assert [r["link"] for r in records] == [e.link for e in sample]
    assert {type(v) for r in records for v in r.values()} <= {int, str, bool, type(None)}


@pytest.mark.parametrize("priority, option", [(corvane.Priority.HIGH, "high"), (corvane.Priority.MIDDLE, "middle")])
def test_priority_filters_are_those_of_the_tool(sample, priority, option):
    rows = run_tool(TOOL, "list", SAMPLE, "--priority", option).splitlines()
    chosen = sample.filter(priority)
    assert [e.year for e in chosen] == [int(row.split("\t")[0]) for row in rows]
    assert all(e.priority <= priority for e in chosen)
    assert len(sample.to_records(priority)) == len(chosen)
    assert len(sample.filter(corvane.Priority.ALL)) == len(sample)


def test_links_are_the_first_link_of_the_text():
    cases = {'<a href="u">label</a>': "u", 'x <A HREF = "v">w</a> <a href="2">b</a>': "v",
             "<b>bold</b>": None, '<a href=u>unquoted</a>': None, "": None}
    assert {text: corvane.Event(1, text).link for text in cases} == cases


def test_base_year_labels_are_those_of_the_tool():
    years = [1500, 1602, 1603, 1604, 1867, 1868, 2000]
    table = corvane.BaseYear.load(SAMPLE_BASE)
    rows = run_tool(TOOL, "label", SAMPLE_BASE, *years).splitlines()
    assert [f"{y}\t{table.label(y) or ''}" for y in years] == rows
    assert (table.base, table.end) == (1603, 1867)


@pytest.mark.parametrize("year", [1984, 2024, 1, -1, -660, 2147483647])
def test_cycle_is_that_of_tamber_cli(year):
    stem, branch, readings, animal = corvane.cycle(year)
    out = run_tool(CLI, "--era-file", SHIPPED, year)
    assert f"の干支は{stem}{branch}({readings})です。" in out and f"十二支は{animal}です。" in out


@pytest.mark.parametrize("pair, start, end", [("甲子", 1900, 2000), ("子", 1900, 1950), ("庚申", -100, 100)])
def test_years_of_are_those_of_tamber_cli(pair, start, end):
    out = run_tool(CLI, "--era-file", SHIPPED, pair, start, end).splitlines()
    assert [str(y) for y in corvane.years_of(pair, start, end)] == [line.split("(")[0].strip() for line in out[2:]]


@pytest.mark.parametrize("call", [lambda: corvane.cycle(0), lambda: corvane.years_of("甲丑", 1, 100),
                                  lambda: corvane.years_of("甲", 1, 100), lambda: corvane.years_of("x子", 1, 9)])
def test_cycle_refusals(call):
    with pytest.raises(ValueError):
        call()


def test_saving_writes_what_was_read(sample, tmp_path):
    sample.save(tmp_path / "copy.lev")
    assert (tmp_path / "copy.lev").read_bytes() == SAMPLE.read_bytes()


def test_added_and_removed_events_are_saved(tmp_path):
    table = corvane.Events()
    table.name = "寺"
    for event in [corvane.Event(733, "大火", month=3, leap=True, note="本堂", priority=1), corvane.Event(710, "創建")]:
        table.add(event)
    table.add(corvane.Event(715, "x"))
    del table[-2]
    table.save(tmp_path / "t.lev")
    back = corvane.Events.load(tmp_path / "t.lev")
    assert [(e.year, e.month, e.leap, e.text, e.note) for e in back] == [(710, None, False, "創建", ""),
                                                                        (733, 3, True, "大火", "本堂")]
    assert back.name == "寺" and back[0] == table[0]
    with pytest.raises(IndexError):
        back[2]


# Hostile and broken files: (file content, the exception, its line).
BROKEN = [
    (b"", corvane.FormatError, 1),              # the missing line is the one named
    (b"\x00\xff\xfe garbage\r\n" * 3, corvane.FormatError, 1),
    ("[元号], 1\r\nt\r\n".encode("cp932"), corvane.FormatError, 1),
    (HEADER[:-6], corvane.FormatError, 3),
    (HEADER + b'1984, 1, 1, "a", "b", 0, 0\r\n1985\r\n', corvane.FormatError, 6),
]


@pytest.mark.parametrize("content, error, line", BROKEN)
def test_broken_event_files_raise_format_errors(tmp_path, content, error, line):
    path = tmp_path / "broken.lev"
    path.write_bytes(content)
    with pytest.raises(error) as caught:
        corvane.Events.load(path)
    assert caught.value.filename == str(path) and caught.value.line == line


@pytest.mark.parametrize("name, error, code", [("missing.lev", FileNotFoundError, errno.ENOENT),
                                               (".", IsADirectoryError, errno.EISDIR),
                                               ("\U0001F600.lev", FileNotFoundError, errno.ENOENT)])
def test_unreadable_files_raise_os_errors(tmp_path, name, error, code):
    for load in (corvane.Events.load, corvane.Eras.load, corvane.BaseYear.load):
        with pytest.raises(error) as caught:
            load(tmp_path / name)
        assert caught.value.errno == code and caught.value.filename == str(tmp_path / name)
    with pytest.raises(ValueError):
        corvane.Events.load("a\0b.lev")
    with pytest.raises(FileNotFoundError):
        corvane.BaseYear.load(bytes(tmp_path / "missing.lby"))


def test_bytes_code_page_932_lacks_come_back_unchanged(tmp_path):
    # A lone lead byte, an undefined code, and the NEC and IBM codes of one character.
    line = b'1984, 1, 1, "a\x81", "\x85\x40 \xed\x40 \xfa\x5c", 0, 0\r\n'
    (tmp_path / "odd.lev").write_bytes(HEADER + line)
    table = corvane.Events.load(tmp_path / "odd.lev")
    assert table[0].text == "a\udc81"
    table.save(tmp_path / "back.lev")
    assert (tmp_path / "back.lev").read_bytes() == HEADER + line
    with pytest.raises(ValueError):
        corvane.Event(1, "\U0001F600")
    with pytest.raises(TypeError):
        corvane.Event(1, b"bytes")


def test_failed_saves_keep_the_previous_file(sample, tmp_path):
    target = tmp_path / "t.lev"
    target.write_bytes(b"previous")
    # A text that no file can hold back (a lead byte before a line break)...
    bad = corvane.Events()
    bad.add(corvane.Event(1, "\udc81\n"))
    with pytest.raises(corvane.FormatError):
        bad.save(target)
    # ...and a file system that refuses the bytes.
    old_limit = resource.getrlimit(resource.RLIMIT_FSIZE)
    old_handler = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    resource.setrlimit(resource.RLIMIT_FSIZE, (4096, old_limit[1]))
    try:
        with pytest.raises(OSError) as caught:
            sample.save(target)
    finally:
        resource.setrlimit(resource.RLIMIT_FSIZE, old_limit)
        signal.signal(signal.SIGXFSZ, old_handler)
    assert caught.value.errno == errno.EFBIG
    assert target.read_bytes() == b"previous"
    assert sorted(p.name for p in tmp_path.iterdir()) == ["t.lev"]


def test_tables_load_and_save_in_folders_code_page_932_cannot_name(sample, tmp_path):
    folder = tmp_path / "résumé" / "José" / "年表〜"
    folder.mkdir(parents=True)
    # A str, bytes and an os.PathLike; names with characters code page 932 would swap for others.
    for target in (str(folder / "寺〜.lev"), os.fsencode(folder / "한국‖.lev"), folder / "简体−.lev"):
        sample.save(target)
        again = corvane.Events.load(target)
        assert again.to_records() == sample.to_records()
    assert sorted(p.name for p in folder.iterdir()) == ["寺〜.lev", "简体−.lev", "한국‖.lev"]
    with pytest.raises(FileNotFoundError) as caught:
        corvane.Eras.load(folder / "無い〜.lgn")
    assert caught.value.filename == str(folder / "無い〜.lgn")
    (folder / "壊れ〜.lev").write_bytes(b"[x], 5\r\n")
    with pytest.raises(corvane.FormatError) as broken:
        corvane.Events.load(folder / "壊れ〜.lev")
    assert "壊れ〜.lev" in str(broken.value)
