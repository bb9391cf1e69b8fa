"""corvane as a package: its version, its type stub against the module (stubtest), and the wheel that
pip builds through the project's CMake, installed into a fresh virtual environment."""
import importlib.metadata
import os
import pathlib
import re
import shutil
import subprocess
import sys

import pytest

import corvane
from conftest import BUILD, ROOT

# What stubtest reports that pybind11 itself causes: its classes have its own metaclass.
PYBIND11_CLASSES = {"BaseYear", "Date", "Era", "Eras", "Event", "Events", "Finding"}
# A class made only by the module (no constructor) has pybind11's __init__(*args, **kwargs) that raises.
PYBIND11_NO_INIT = {("corvane.Finding.__init__", 'is inconsistent, stub does not have *args argument "args"')}


def project_version():
    return re.search(r"project\(\w+ VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")).group(1)


def test_version_is_the_project_version():
    assert corvane.__version__ == project_version()
    assert corvane.Events.__module__ == "corvane" and corvane.Priority.__module__ == "corvane"


def test_stub_matches_the_module_but_for_what_pybind11_causes(tmp_path):
    site = str(pathlib.Path(corvane.__file__).resolve().parents[1])   # PYTHONPATH may be relative
    out = subprocess.run([sys.executable, "-m", "mypy.stubtest", "corvane"], capture_output=True, text=True,
                         cwd=tmp_path, env={**os.environ, "PYTHONPATH": site, "MYPY_CACHE_DIR": str(tmp_path / "cache")})
    errors = re.findall(r"^error: (\S+) (.*)$", out.stdout, re.M)
    assert errors and {(name, what) for name, what in errors} == {
        (f"corvane.{c}", "is inconsistent, metaclass differs") for c in PYBIND11_CLASSES} | PYBIND11_NO_INIT, out.stdout


@pytest.mark.wheel
def test_wheel_installs_into_a_fresh_venv_and_mypy_finds_its_types(tmp_path):
    """python3 -m build --wheel through the build folder's CMake (reused as configured), then the
    wheel installed by pip into a new venv and used from there without PYTHONPATH."""
    source = tmp_path / "python"
    shutil.copytree(ROOT / "python", source, ignore=shutil.ignore_patterns("build", "dist", "*.egg-info", "tests"))
    env = {**os.environ, "CORVANE_SOURCE_DIR": str(ROOT), "CORVANE_CMAKE_BUILD_DIR": str(BUILD)}
    env.pop("PYTHONPATH", None)
    subprocess.run(["/usr/bin/python3", "-m", "build", "--wheel", "--no-isolation", "-o", str(tmp_path / "dist"),
                    str(source)], check=True, capture_output=True, env=env)
    wheel, = (tmp_path / "dist").glob("corvane-*.whl")
    tag = f"cp{sys.version_info.major}{sys.version_info.minor}"
    assert wheel.name == f"corvane-{project_version()}-{tag}-{tag}-linux_x86_64.whl"
    venv = tmp_path / "venv"
    subprocess.run(["/usr/bin/python3", "-m", "venv", "--system-site-packages", str(venv)], check=True, env=env)
    python = str(venv / "bin" / "python")
    subprocess.run([python, "-m", "pip", "install", "--no-index", "-q", str(wheel)], check=True, env=env)
    code = ("import corvane, importlib.metadata, os; e = corvane.Eras.shipped(); "
            "print(corvane.__file__, corvane.__version__, importlib.metadata.version('corvane'), "
            "e.era_date('1989-01-08'), os.path.dirname(e.path) == os.path.dirname(corvane.__file__))")
    out = subprocess.run([python, "-c", code], check=True, capture_output=True, text=True, env=env, cwd="/").stdout
    package = venv / "lib" / f"python{sys.version_info.major}.{sys.version_info.minor}" / "site-packages" / "corvane"
    assert out.split() == [str(package / "__init__.py"), project_version(), project_version(), "平成元年1月8日", "True"]
    # mypy (Debian's, from the system site-packages) finds the installed package's types.
    (tmp_path / "use.py").write_text('import corvane\nyear: str = corvane.Eras.shipped().parse("H1").year\n')
    typed = subprocess.run([python, "-m", "mypy", "--cache-dir", str(tmp_path / "cache"), str(tmp_path / "use.py")],
                           capture_output=True, text=True, env=env)
    assert 'incompatible types in assignment (expression has type "int", variable has type "str")' in typed.stdout.lower()


def test_signatures_name_the_path_types_and_the_package():
    for function in (corvane.Events.load, corvane.Events.save, corvane.Eras.load, corvane.BaseYear.load):
        signature = function.__doc__.splitlines()[0]
        assert "path: str | os.PathLike | bytes" in signature and "_corvane" not in signature, signature
