// The corvane Python module: the chronology tables and the era dates, with str texts (the code
// page 932 of the files stays inside).
#include "Bindings.h"
#include "PyText.h"

namespace corvane_py {

py::object& DateErrorType()
{
    static py::object* s_pType = new py::object();   // as long as the interpreter keeps the module
    return *s_pType;
}

} // namespace corvane_py

// Imported as corvane._corvane; corvane/__init__.py gives its names to the package.
PYBIND11_MODULE(_corvane, m)
{
    namespace py = pybind11;
    using namespace corvane_py;
    m.doc() = "Japanese era dates and chronology tables (Corvane): era-name, event and base-year tables "
              "in their code page 932 files, era dates both ways, and the sexagenary years.";

    const auto formatError = py::reinterpret_steal<py::object>(PyErr_NewExceptionWithDoc(
        "corvane.FormatError",
        "A table file whose content is not of its format: filename, line (the 1-based number of the "
        "line to blame, or None) and reason.",
        PyExc_ValueError, nullptr));
    m.attr("FormatError") = formatError;
    SetFormatErrorType(formatError);
    DateErrorType() = py::reinterpret_steal<py::object>(PyErr_NewExceptionWithDoc(
        "corvane.DateError",
        "A text that is no date, or a date that does not exist: reason (why, in Japanese), and text (the "
        "text given, or None).",
        PyExc_ValueError, nullptr));
    m.attr("DateError") = DateErrorType();

    // The classes are corvane's (their repr, pickle and signatures say so), not corvane._corvane's.
    const py::object name = m.attr("__name__");
    m.attr("__name__") = "corvane";
    BindDate(m);
    BindEras(m);
    BindEvents(m);
    BindYears(m);
    BindCheck(m);
    BindColumns(m);
    BindValues(m);
    m.attr("__name__") = name;
    m.attr("__version__") = CORVANE_VERSION;
}
