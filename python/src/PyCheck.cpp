// The strict check of the library for Python: corvane.check(path) and the strict loads of the
// tables (Events.load(path, strict=True) and the others).
#include "Bindings.h"
#include "PyText.h"

#include <filesystem>
#include <string>

#include <corvane/TableCheck.h>

namespace corvane_py {

namespace {

// The findings of the file at path (OSError when it cannot be read).
std::vector<STableFinding> Findings(py::handle path, std::optional<ETableKind> eKind)
{
    const std::filesystem::path native = PathArg(path);   // the same refusals as every load
    std::vector<STableFinding> vFindings;
    SFileStatus status;
    {
        const py::gil_scoped_release release;
        status = CheckTableFile(native, vFindings, eKind);
    }
    Check(status, path);
    return vFindings;
}

const char* LevelName(ECheckLevel eLevel)
{
    return eLevel == ECheckLevel::Error ? "error" : "warning";
}

} // namespace

void CheckStrictly(py::handle path, ETableKind eKind)
{
    const std::vector<STableFinding> vFindings = Findings(path, eKind);
    const STableFinding* pFinding = FirstCheckError(vFindings);
    if (!pFinding)
        pFinding = FirstCheckError(vFindings, true);
    if (!pFinding)
        return;
    const py::str reason = ToStr(pFinding->strReason.View());
    const py::object name = py::module_::import("os").attr("fspath")(path);
    const py::object type = py::module_::import("corvane").attr("FormatError");
    const py::object error =
        type(py::str("{}:{}: {}: {}").format(name, pFinding->nLine, LevelName(pFinding->eLevel), reason));
    error.attr("filename") = name;
    error.attr("line") = py::int_(pFinding->nLine);
    error.attr("reason") = reason;
    PyErr_SetObject(type.ptr(), error.ptr());
    throw py::error_already_set();
}

void BindCheck(py::module_& m)
{
    py::class_<STableFinding>(m, "Finding", "One line of a table file that is not as the library writes it.")
        .def_readonly("line", &STableFinding::nLine, "The 1-based line number.")
        .def_property_readonly("level", [](const STableFinding& f) { return LevelName(f.eLevel); },
                               "'error' (damage: what the reader returns is not what was written) or 'warning' "
                               "(what a hand-made or older file may hold).")
        .def_property_readonly("reason", [](const STableFinding& f) { return ToStr(f.strReason.View()); },
                               "Why, in Japanese.")
        .def("__repr__", [](const STableFinding& f) {
            return py::str("Finding(line={}, level={!r}, reason={!r})").format(f.nLine, LevelName(f.eLevel),
                                                                               ToStr(f.strReason.View()));
        });
    m.def("check", [](const SPath& path) {
              py::list findings;
              for (const STableFinding& finding : Findings(path, std::nullopt))
                  findings.append(py::cast(finding));
              return findings;
          }, py::arg("path"),
          "The strict check of a table file of any kind (the kind its header names): every line that is not "
          "as the library writes it, as a list of Finding in line order; empty for a sound file. Raises "
          "OSError when the file cannot be read.");
}

} // namespace corvane_py
