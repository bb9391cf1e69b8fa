"""The Python session of the README gives the output it shows."""
import doctest
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
