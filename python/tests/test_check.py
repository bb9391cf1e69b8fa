"""Strict loading and corvane.check: a damaged table never loads silently when asked not to."""
import pytest

import corvane
from conftest import PERIODS, SAMPLE, SAMPLE_BASE, SHIPPED


def test_shipped_and_sample_files_load_strictly_and_check_clean():
    assert len(corvane.Eras.load(SHIPPED, strict=True)) > 200
    assert len(corvane.Eras.load(PERIODS, periods=True, strict=True)) > 10
    assert len(corvane.Events.load(SAMPLE, strict=True)) == len(corvane.Events.load(SAMPLE))
    corvane.BaseYear.load(SAMPLE_BASE, strict=True)
    for path in (SHIPPED, PERIODS, SAMPLE, SAMPLE_BASE):
        assert corvane.check(path) == []


def test_a_cut_sample_loads_leniently_but_not_strictly(tmp_path):
    data = SAMPLE.read_bytes()
    cut = data[: len(data) // 2]
    assert not cut.endswith(b"\n")
    path = tmp_path / "cut.lev"
    path.write_bytes(cut)
    line = cut.count(b"\n") + 1

    assert len(corvane.Events.load(path)) == line - 4   # today's reading stays
    with pytest.raises(corvane.FormatError) as error:
        corvane.Events.load(path, strict=True)
    assert error.value.filename == str(path)
    assert error.value.line == line
    assert "行末がありません" in error.value.reason or "引用符の中で終わっています" in error.value.reason
    findings = corvane.check(path)
    assert [(f.line, f.level) for f in findings] == [(line, "error")]
    assert findings[0].reason == error.value.reason
    assert f"line={line}" in repr(findings[0])


@pytest.mark.parametrize("load, content, line, level, reason", [
    (corvane.Events.load, "[出来事], 5\r\n名\r\n\r\n0\r\n1614, 10, 1, \"x\", \"\", 1\r\n", 5, "warning", "閏月"),
    (corvane.Events.load, "[出来事], 5\r\n名\r\n\r\n0\r\n1614, 10, 1, \"x\", \", 1, 0\r\n", 5, "error", "引用符"),
    (corvane.Eras.load, "[元号], 1\r\n名\r\n\r\n\"明治\", 18a8, 1912, \"\"\r\n", 4, "error", "始まりの年"),
    (corvane.BaseYear.load, "[基点年],5\r\n名\r\n1900\r\n1950\r\n2\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n", 5, "error",
     "設定の印"),
])
def test_each_table_raises_the_first_finding_when_strict(tmp_path, load, content, line, level, reason):
    path = tmp_path / "table"
    path.write_bytes(content.encode("cp932"))
    load(path)   # the lenient reading takes it
    with pytest.raises(corvane.FormatError) as error:
        load(path, strict=True)
    assert (error.value.line, error.value.filename) == (line, str(path))
    assert reason in error.value.reason
    assert f":{line}: {level}: " in str(error.value)
    assert [(f.line, f.level) for f in corvane.check(path)] == [(line, level)]


def test_a_lenient_format_error_carries_its_reason_and_check_needs_a_file(tmp_path):
    path = tmp_path / "bad.lev"
    path.write_bytes("[出来事], 5\r\n名\r\n\r\n0\r\n\r\n".encode("cp932"))
    with pytest.raises(corvane.FormatError) as error:
        corvane.Events.load(path)
    assert error.value.line == 5 and error.value.reason
    with pytest.raises(FileNotFoundError):
        corvane.check(tmp_path / "missing.lev")
