// The edge between Python and the library: str to and from code page 932, file names, and the
// exceptions a failed load or save raises.
#pragma once

#include <filesystem>

#include <string_view>

#include <pybind11/pybind11.h>

#include <corvane/FileStatus.h>
#include <framework/String.h>

namespace corvane_py {

namespace py = pybind11;

// The text of code page 932 bytes as a str. A byte sequence that code page 932 does not define
// (a file may hold one) becomes the surrogates U+DC80..U+DCFF, as Python's "surrogateescape"
// does, so that ToCp932 gives the same bytes back and a table saves unchanged.
py::str ToStr(std::string_view cp932);

// The code page 932 bytes of a str (the surrogates of ToStr back to their bytes). Raises
// ValueError naming pszWhat for a character that code page 932 cannot hold, TypeError for an
// object that is not a str.
CString ToCp932(py::handle text, const char* pszWhat);

// A file name as the system takes it: a str, bytes or os.PathLike, any name the system allows.
// Raises ValueError for a NUL in it (as open() does) and OSError for an empty name.
std::filesystem::path PathArg(py::handle path);

// A file name as a function takes it: any object (PathArg checks it), shown in signatures as
// str | os.PathLike | bytes.
struct SPath {
    SPath() = default;
    SPath(py::object path) : value(std::move(path)) {}   // NOLINT: implicit, as the argument it stands for
    operator py::handle() const { return value; }
    py::object value;
};

// Does nothing for a success. Otherwise raises what went wrong: OSError with the system's errno
// and the file name (FileNotFoundError and the like), or corvane.FormatError with the line.
void Check(const SFileStatus& status, py::handle path);

// corvane.FormatError, created by the module (Module.cpp).
void SetFormatErrorType(py::object type);

} // namespace corvane_py

template <>
struct pybind11::detail::type_caster<corvane_py::SPath> {
    PYBIND11_TYPE_CASTER(corvane_py::SPath, const_name("str | os.PathLike | bytes"));
    bool load(handle src, bool)
    {
        value.value = reinterpret_borrow<object>(src);
        return true;
    }
    static handle cast(const corvane_py::SPath& path, return_value_policy, handle)
    {
        return path.value.inc_ref();
    }
};
