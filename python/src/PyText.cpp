#include "PyText.h"

#include <framework/Env.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include <framework/Cp932.h>

namespace corvane_py {

namespace {

py::object& FormatErrorType()
{
    static py::object* s_pType = new py::object();   // lives as long as the interpreter's module
    return *s_pType;
}

bool IsLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The one code point of a UTF-8 text, or 0 when it holds none or more than one.
char32_t OnlyCodePoint(std::string_view utf8)
{
    if (utf8.empty())
        return 0;
    const auto b = static_cast<unsigned char>(utf8[0]);
    const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (utf8.size() != n)
        return 0;
    char32_t cp = n == 1 ? b : n == 2 ? (b & 0x1Fu) : n == 3 ? (b & 0x0Fu) : (b & 0x07u);
    for (std::size_t i = 1; i < n; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3Fu);
    return cp;
}

// The framework's code page 932 conversion, taken once for every code into tables, so that a
// text costs a lookup a character rather than a conversion of its own. A code is kept only when
// it converts back to itself: the second code of a character that code page 932 holds twice (the
// NEC and IBM forms of a kanji) is escaped like an undefined one, so that it too comes back as it
// was.
class CCodec {
public:
    static const CCodec& Get()
    {
        static const CCodec* s_pCodec = new CCodec();   // built on first use, never freed
        return *s_pCodec;
    }

    // The code point of the single byte b, or of the double-byte code b, b2; 0 when there is none.
    char32_t Single(unsigned char b) const { return m_single[b]; }
    char32_t Double(unsigned char b, unsigned char b2) const { return m_double[Slot(b) * 256 + b2]; }
    // The code page 932 bytes of cp (one or two, high byte first), or 0 when the table has none.
    std::uint16_t Code(char32_t cp) const
    {
        const auto it = m_reverse.find(cp);
        return it == m_reverse.end() ? 0 : it->second;
    }

private:
    static std::size_t Slot(unsigned char b) { return b <= 0x9F ? b - 0x81u : b - 0xE0u + 31u; }

    CCodec() : m_double(60 * 256, 0)
    {
        for (int b = 0; b < 256; ++b)
            if (!IsLeadByte(static_cast<unsigned char>(b)))
                Take(std::string(1, static_cast<char>(b)), m_single[b], static_cast<std::uint16_t>(b));
        for (int b = 0x81; b <= 0xFC; ++b) {
            if (!IsLeadByte(static_cast<unsigned char>(b)))
                continue;
            for (int b2 = 0x40; b2 <= 0xFC; ++b2)
                Take({static_cast<char>(b), static_cast<char>(b2)}, m_double[Slot(static_cast<unsigned char>(b)) * 256 + b2],
                     static_cast<std::uint16_t>(b << 8 | b2));
        }
    }

    void Take(const std::string& code, char32_t& cpOut, std::uint16_t nCode)
    {
        std::string utf8;
        CString back;
        if (!Cp932ToUtf8(code, utf8) || !Utf8ToCp932(utf8, back) || back.View() != code)
            return;
        const char32_t cp = OnlyCodePoint(utf8);
        if (cp == 0 && code != std::string(1, '\0'))
            return;
        cpOut = cp;
        m_reverse.emplace(cp, nCode);
    }

    char32_t m_single[256] = {};
    std::vector<char32_t> m_double;
    std::unordered_map<char32_t, std::uint16_t> m_reverse;
};

// Raises the exception object (OSError(errno, ...) makes an instance of the subclass for errno,
// FileNotFoundError and the like: the object's own type is raised).
[[noreturn]] void Raise(const py::object& value)
{
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(value.ptr())), value.ptr());
    throw py::error_already_set();
}

} // namespace

void SetFormatErrorType(py::object type)
{
    FormatErrorType() = std::move(type);
}

py::str ToStr(std::string_view cp932)
{
    // Two passes over the bytes, the first for the length and the widest character: the str is
    // written in place, without a UTF-8 copy to decode.
    const CCodec& codec = CCodec::Get();
    const auto next = [&codec, cp932](std::size_t& i) {
        const auto b = static_cast<unsigned char>(cp932[i]);
        if (IsLeadByte(b) && i + 1 < cp932.size()) {
            if (const char32_t cp = codec.Double(b, static_cast<unsigned char>(cp932[i + 1])); cp != 0) {
                i += 2;
                return cp;
            }
        } else if (const char32_t cp = codec.Single(b); cp != 0 || b == 0) {
            ++i;
            return cp;
        }
        ++i;   // a byte code page 932 does not define: escaped, and the next byte may be a character
        return static_cast<char32_t>(0xDC00u + b);
    };
    Py_ssize_t nLength = 0;
    char32_t cpMax = 0;
    for (std::size_t i = 0; i < cp932.size(); ++nLength)
        cpMax = std::max(cpMax, next(i));
    PyObject* pStr = PyUnicode_New(nLength, static_cast<Py_UCS4>(cpMax));
    if (!pStr)
        throw py::error_already_set();
    const int nKind = PyUnicode_KIND(pStr);
    void* pData = PyUnicode_DATA(pStr);
    Py_ssize_t n = 0;
    for (std::size_t i = 0; i < cp932.size();)
        PyUnicode_WRITE(nKind, pData, n++, next(i));
    return py::reinterpret_steal<py::str>(pStr);
}

CString ToCp932(py::handle text, const char* pszWhat)
{
    if (!py::isinstance<py::str>(text))
        throw py::type_error(std::string(pszWhat) + " must be a str, not " +
                             std::string(py::str(py::type::handle_of(text).attr("__name__"))));
    const CCodec& codec = CCodec::Get();
    PyObject* pText = text.ptr();
    const Py_ssize_t nLength = PyUnicode_GET_LENGTH(pText);
    const int nKind = PyUnicode_KIND(pText);
    const void* pData = PyUnicode_DATA(pText);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(nLength) * 2);
    for (Py_ssize_t i = 0; i < nLength; ++i) {
        const char32_t cp = PyUnicode_READ(nKind, pData, i);
        if (cp >= 0xDC80 && cp <= 0xDCFF) {   // a byte that ToStr escaped
            bytes += static_cast<char>(cp - 0xDC00);
            continue;
        }
        if (const std::uint16_t nCode = codec.Code(cp); nCode != 0 || cp == 0) {
            if (nCode > 0xFF)
                bytes += static_cast<char>(nCode >> 8);
            bytes += static_cast<char>(nCode & 0xFF);
            continue;
        }
        // A character the tables do not hold may still have a form (one of those held twice); a
        // surrogate that stands for no byte has none.
        std::string utf8;
        CString piece;
        if (cp < 0xD800 || cp > 0xDFFF)
            AppendUtf8(utf8, cp);
        if (utf8.empty() || !Utf8ToCp932(utf8, piece))
            throw py::value_error(std::string(pszWhat) + " holds a character that code page 932 cannot hold: " +
                                  std::string(py::repr(text)));
        bytes += piece.View();
    }
    return CString(std::string_view(bytes));
}

std::filesystem::path PathArg(py::handle path)
{
    const py::object os = py::module_::import("os");
    const py::object name = os.attr("fspath")(path);
    // The file system's own bytes (on Windows UTF-8), whatever the name holds.
    const py::bytes native = os.attr("fsencode")(name);
    const std::string bytes(PyBytes_AS_STRING(native.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(native.ptr())));
    if (bytes.find('\0') != std::string::npos)
        throw py::value_error("embedded null byte");
    const std::filesystem::path result = bytes.empty() ? std::filesystem::path() : Env::PathOf(bytes);
    if (result.empty())
        Raise(py::reinterpret_borrow<py::object>(PyExc_OSError)(bytes.empty() ? ENOENT : EILSEQ,
                                                                bytes.empty() ? "empty file name" : "not a file name",
                                                                name));
    return result;
}

void Check(const SFileStatus& status, py::handle path)
{
    if (status.Ok())
        return;
    const py::object os = py::module_::import("os");
    const py::object name = os.attr("fspath")(path);
    if (status.nOsError > 0)
        Raise(py::reinterpret_borrow<py::object>(PyExc_OSError)(status.nOsError, std::strerror(status.nOsError), name));
    // The library's message with the name as the caller gave it, whatever it holds.
    const py::object text = ToStr(FormatFileStatus(status, "%1").View()).attr("replace")("%1", os.attr("fsdecode")(name));
    const py::object error = FormatErrorType()(text);
    error.attr("filename") = name;
    error.attr("line") = status.nLine > 0 ? py::object(py::int_(status.nLine)) : py::object(py::none());
    error.attr("reason") = error.attr("args")[py::int_(0)];
    Raise(error);
}

} // namespace corvane_py
