"""The README's Python session gives the output it shows; the type stub names what the module has."""
import doctest
import pathlib
import re

from conftest import ROOT


def test_readme_session(monkeypatch):
    text = (ROOT / "README.md").read_text(encoding="utf-8")
    session = re.search(r"<!-- python-session -->\n```pycon\n(.*?)```", text, re.S).group(1)
    monkeypatch.chdir(ROOT)
    test = doctest.DocTestParser().get_doctest(session, {}, "README.md", "README.md", 0)
    runner = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS)
    runner.run(test)
    assert runner.summarize(verbose=False).failed == 0


def test_type_stub_names_what_the_module_has():
    import ast
    import corvane
    stub = ast.parse((pathlib.Path(corvane.__file__).parent / "__init__.pyi").read_text(encoding="utf-8"))
    public = lambda names: {n for n in names if not n.startswith("_")}  # noqa: E731
    classes = {node.name: node for node in stub.body if isinstance(node, ast.ClassDef)}
    functions = {node.name for node in stub.body if isinstance(node, ast.FunctionDef)}
    aliases = {t.id for node in stub.body if isinstance(node, ast.Assign) for t in node.targets}
    imported = {a.asname for node in stub.body if isinstance(node, ast.ImportFrom) for a in node.names if a.asname}
    assert public(dir(corvane)) == public(set(classes) | functions | aliases | imported)
    for name, node in classes.items():
        members = {m.name for m in node.body if isinstance(m, ast.FunctionDef)}
        members |= {m.target.id for m in node.body if isinstance(m, ast.AnnAssign)}
        values = {t.id for m in node.body if isinstance(m, ast.Assign) for t in m.targets}
        if name == "Priority":
            assert set(corvane.Priority.__members__) == values
        elif not issubclass(getattr(corvane, name), BaseException):
            assert public(dir(getattr(corvane, name))) == public(members), name
