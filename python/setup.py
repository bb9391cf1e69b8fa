"""Builds the compiled part of the corvane package with the project's CMake build.

The extension corvane._corvane, the libraries it loads and the shipped era file come from the
CMake install component "wheel"; the Python files of the package from python/corvane. The build
folder is CORVANE_CMAKE_BUILD_DIR when set (an existing build is reused as it is configured), else
a folder of its own under setuptools' build folder, configured for the libraries alone.
"""
import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = pathlib.Path(os.environ.get("CORVANE_SOURCE_DIR") or pathlib.Path(__file__).resolve().parents[1])


def project_version():
    """The version of the project() call in the top CMakeLists.txt."""
    text = (SOURCE / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        temp = pathlib.Path(self.build_temp).resolve()
        build = pathlib.Path(os.environ.get("CORVANE_CMAKE_BUILD_DIR") or temp / "cmake")
        if not (build / "CMakeCache.txt").exists():
            configure = ["cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                         "-DTAMBER_LIBRARY_ONLY=ON", "-DTAMBER_BUILD_TESTS=OFF", "-DTAMBER_BUILD_BENCH=OFF",
                         f"-DPython_EXECUTABLE={sys.executable}"]
            if shutil.which("ninja"):
                configure += ["-G", "Ninja"]
            if shutil.which("ccache"):
                configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
            subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "corvane-python", "--parallel",
                        str(os.cpu_count() or 1)], check=True)
        stage = temp / "wheel-stage"
        shutil.rmtree(stage, ignore_errors=True)
        subprocess.run(["cmake", "--install", str(build), "--component", "wheel", "--prefix", str(stage), "--strip"],
                       check=True)
        package = pathlib.Path(self.get_ext_fullpath(ext.name)).parent
        package.mkdir(parents=True, exist_ok=True)
        for path in (stage / "corvane").iterdir():
            # A library once, under the name the module asks for (its soname, a link to the file).
            if re.fullmatch(r"lib.*\.so(\.\d+){2,}", path.name):
                continue
            shutil.copyfile(path, package / path.name)


setup(version=project_version(),
      ext_modules=[Extension("corvane._corvane", sources=[])],
      cmdclass={"build_ext": CMakeBuild})
