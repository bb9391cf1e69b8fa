"""Shared paths and tables of the corvane module's tests (run with PYTHONPATH=<build>/python)."""
import os
import pathlib
import shutil
import subprocess

import pytest

import corvane

ROOT = pathlib.Path(__file__).resolve().parents[2]
DATA = ROOT / "data"
SHIPPED = DATA / "ﾗｲﾌﾞﾗﾘ" / "元号.lgn"
PERIODS = DATA / "ﾗｲﾌﾞﾗﾘ" / "時代.ler"
SAMPLE = DATA / "年表" / "日本史.lev"
SAMPLE_BASE = DATA / "年表" / "日本史.lby"
# The first lines of an event file (version 5) named t, explanation e.
HEADER = "[出来事], 5\r\nt\r\ne\r\n0\r\n".encode("cp932")
# The module's build folder holds the C++ programs whose results the module must give.
BUILD = pathlib.Path(corvane.__file__).resolve().parents[2]


def run_tool(program, *args):
    """Standard output of a C++ program of the build (the test is skipped without it)."""
    path = BUILD / program
    if not path.exists():
        pytest.skip(f"{program} not built")
    return subprocess.run([str(path), *map(str, args)], check=True, capture_output=True, text=True).stdout


@pytest.fixture(scope="session")
def eras():
    return corvane.Eras.shipped()


@pytest.fixture(scope="session")
def sample():
    return corvane.Events.load(SAMPLE)


@pytest.fixture
def copy_of(tmp_path):
    """copy_of(path): a copy of a file in the test's own folder."""
    def copy(path):
        return pathlib.Path(shutil.copy(path, tmp_path / os.path.basename(path)))
    return copy


def pytest_configure(config):
    config.addinivalue_line("markers", "wheel: builds the wheel and installs it into a new venv (about a minute)")
