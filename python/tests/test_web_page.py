"""The page `nenpyo --html` writes, opened in headless Chromium through Debian's chromedriver.

Skipped when Chromium, its driver or selenium is missing (CI installs them). One browser serves
every test; the pages are written once per session into a temporary folder. The sizes and times of
large pages are written to <build>/web-page-timings.txt and printed (pytest -rP shows them).
"""
import json
import pathlib
import re
import shutil
import subprocess
import tempfile
import time

import pytest

from conftest import BUILD, DATA, PERIODS, SHIPPED

webdriver = pytest.importorskip("selenium.webdriver")
from selenium.common.exceptions import NoAlertPresentException  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

CHROMIUM = shutil.which("chromium")
CHROMEDRIVER = shutil.which("chromedriver")
if CHROMIUM is None or CHROMEDRIVER is None:
    pytest.skip("chromium and chromium-driver are not installed", allow_module_level=True)

NENPYO = BUILD / "app" / "nenpyo" / "nenpyo"
CORVANE = BUILD / "app" / "corvane-tool" / "corvane"
SAMPLE_DOC = DATA / "年表" / "日本史.nenpyo"
SAMPLE_LEV = DATA / "年表" / "日本史.lev"
SAMPLE_LBY = DATA / "年表" / "日本史.lby"
TIMINGS = BUILD / "web-page-timings.txt"

HOSTILE_TEXTS = [
    "<script>window.marker=1;alert(1)</script>",
    "</script><script>window.marker=2</script>",
    "<img src=x onerror=\"window.marker=3;alert(3)\">画像",
    "<a href=\"javascript:window.marker=4\">危険なリンク</a>",
    "<a href=\"  JavaScript:window.marker=5\">空白のあと</a>",
    "<a href=\"data:text/html,x\">データ</a>",
    "<a href=\"http://127.0.0.1:9/x\">遠くへ</a>",
    "<svg onload=\"window.marker=6\"></svg><iframe src=\"http://127.0.0.1:9/\"></iframe>",
    "</SCRIPT ><!--<script>window.marker=7</script>-->",
    "<style>body{background:url(http://127.0.0.1:9/)}</style>",
    "#cp932:82",              # a lone lead byte
    "#cp932:8240fcfc",        # bytes code page 932 does not define
    "<b>" * 4000 + "長い" * 2000,   # some 16 KiB
    "x" * 65000,
]


def run(*args):
    result = subprocess.run([str(a) for a in args], capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return result.stdout


def write_events(path, records, name="試験", explanation=""):
    """A .lev file of the records (dicts of the corvane JSON layout), through corvane import."""
    table = {"kind": "event", "version": 5, "name": name, "explanation": explanation, "today": False,
             "records": records}
    source = path.with_suffix(".json")
    source.write_text(json.dumps(table, ensure_ascii=False), encoding="utf-8")
    run(CORVANE, "import", source, "-o", path)
    return path


def record(year, text, priority=0, month=-1, day=-1, note=""):
    return {"year": year, "month": month, "day": day, "leap_month": False, "priority": priority,
            "text": text, "note": note}


def large_records(count):
    """Events over 500-2020 by day, the four priorities, a link every 50th, a note every 10th."""
    words = ["城", "寺", "戦い", "条約", "地震", "改元", "遷都", "検地", "開港", "大火"]
    out = []
    for n in range(count):
        year = 500 + n * 1520 // count
        text = f"出来事{n} {words[n % 10]}と{words[(n * 7) % 10]}の記録"
        if n % 50 == 0:
            text = f"<a href=\"https://example.org/{n}\">{text}</a>"
        out.append(record(year, text, n % 3, 1 + n % 12, 1 + n % 28, "備考" if n % 10 == 0 else ""))
    return out


@pytest.fixture(scope="session")
def pages():
    for program in (NENPYO, CORVANE):
        if not program.exists():
            pytest.skip(f"{program.name} not built")
    folder = pathlib.Path(tempfile.mkdtemp(prefix="nenpyo-web-"))
    made = {}

    def page(name, source, *options):
        out = folder / f"{name}.html"
        started = time.perf_counter()
        run(NENPYO, "--html", out, source, *options)
        made[name] = out
        return time.perf_counter() - started

    page("sample", SAMPLE_DOC)
    page("high", SAMPLE_DOC, "--priority", "high")
    hostile = [record(1900 + n, text, n % 3, 1 + n % 12, 1) for n, text in enumerate(HOSTILE_TEXTS)]
    page("hostile", write_events(folder / "hostile.lev", hostile, "<script>window.marker=9</script>",
                                 "</title><script>window.marker=10</script>"))
    made["write_seconds"] = {
        "10^4": page("e4", write_events(folder / "e4.lev", large_records(10_000))),
        "10^5": page("e5", write_events(folder / "e5.lev", large_records(100_000))),
    }
    yield made
    shutil.rmtree(folder, ignore_errors=True)


@pytest.fixture(scope="session")
def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    profile = tempfile.mkdtemp(prefix="nenpyo-chromium-")
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", f"--user-data-dir={profile}", "--window-size=1280,900"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER), options=options)
    yield driver
    driver.quit()
    shutil.rmtree(profile, ignore_errors=True)


def open_page(driver, path):
    driver.get(path.as_uri())
    for _ in range(200):
        if driver.execute_script("return document.documentElement.dataset.ready === 'true'"):
            break
        time.sleep(0.05)
    driver.get_log("browser")
    driver.get_log("performance")


def nenpyo(driver, expression):
    return driver.execute_script(f"return window.nenpyo.{expression}")


def all_rows(driver):
    """The texts of every row of the table, every chunk filled first (as for printing)."""
    return driver.execute_script("""
        window.dispatchEvent(new Event('beforeprint'));
        return Array.from(document.querySelectorAll('#rows tbody tr[data-row]'),
                          (tr) => Array.from(tr.cells, (td) => td.textContent));""")


def list_rows(*options):
    out = run(CORVANE, "list", SAMPLE_LEV, "--era", SHIPPED, "--period", PERIODS, "--base", SAMPLE_LBY, *options)
    return [line.split("\t") for line in out.split("\n") if line]


def squeeze(text):
    return re.sub(r"\s+", " ", text).strip()


def test_rows_match_corvane_list_under_each_filter(browser, pages):
    open_page(browser, pages["sample"])
    headings = browser.execute_script(
        "return Array.from(document.querySelectorAll('#head th'), (th) => th.textContent)")
    assert headings[:3] == ["西暦", "和暦", "時代"] and headings[-3:] == ["月日", "出来事", "備考"]
    assert browser.find_element(By.ID, "title").text == browser.title != ""
    expected = list_rows()
    shown = all_rows(browser)
    assert len(shown) == len(expected) == nenpyo(browser, "shownCount")
    for page_row, list_row in zip(shown, expected):
        assert [squeeze(cell) for cell in page_row[:6]] == [squeeze(cell) for cell in list_row[:6]]
    assert browser.execute_script("return document.querySelector('#rows').tagName") == "TABLE"

    select = browser.find_element(By.ID, "priority")
    for value, option in (("1", "high"), ("2", "middle"), ("4", None)):
        select.find_element(By.CSS_SELECTOR, f"option[value='{value}']").click()
        count = len(list_rows("--priority", option) if option else expected)
        assert nenpyo(browser, "shownCount") == count
        assert len(all_rows(browser)) == count

    # A page written with --priority high holds those rows alone.
    open_page(browser, pages["high"])
    assert nenpyo(browser, "shownCount") == len(list_rows("--priority", "high"))


def test_search_counts_and_steps_round(browser, pages):
    open_page(browser, pages["sample"])
    notes = [r["note"] for r in json.loads(run(CORVANE, "export", SAMPLE_LEV))["records"]]
    for word in ("戦い", "幕府", "ない言葉ZZ"):
        box = browser.find_element(By.ID, "search")
        box.clear()
        box.send_keys(word)
        want = [n for n, (row, note) in enumerate(zip(list_rows(), notes)) if word in row[5] or word in note]
        assert nenpyo(browser, "hitCount") == len(want), word
    box.clear()
    box.send_keys("戦い")
    hits = nenpyo(browser, "hitCount")
    assert hits >= 3
    count = browser.find_element(By.ID, "search-count")
    box.send_keys(Keys.ENTER)
    first = nenpyo(browser, "selected")
    assert count.get_attribute("value") == f"1/{hits}件"
    browser.find_element(By.ID, "search-next").click()
    assert count.get_attribute("value") == f"2/{hits}件"
    assert nenpyo(browser, "selected") > first
    browser.find_element(By.ID, "search-prev").click()
    browser.find_element(By.ID, "search-prev").click()
    assert count.get_attribute("value") == f"{hits}/{hits}件"   # round to the last
    assert "戦い" in browser.find_element(By.CSS_SELECTOR, "tr.selected td.text").text


def test_zoom_and_pan_move_the_axis(browser, pages):
    open_page(browser, pages["sample"])
    canvas = browser.find_element(By.ID, "band")
    view = nenpyo(browser, "view")
    browser.find_element(By.ID, "zoom-in").click()
    time.sleep(0.05)
    zoomed = nenpyo(browser, "view")
    assert zoomed["pixelsPerYear"] == pytest.approx(view["pixelsPerYear"] * 1.5)
    assert (zoomed["from"] + zoomed["to"]) / 2 == pytest.approx((view["from"] + view["to"]) / 2)
    browser.find_element(By.ID, "zoom-out").click()
    assert nenpyo(browser, "view")["pixelsPerYear"] == pytest.approx(view["pixelsPerYear"])

    ActionChains(browser).scroll_from_origin(ScrollOrigin.from_element(canvas), 0, -300).perform()
    assert nenpyo(browser, "view")["pixelsPerYear"] > view["pixelsPerYear"]
    before = nenpyo(browser, "view")
    ActionChains(browser).move_to_element(canvas).click_and_hold().move_by_offset(-200, 0).release().perform()
    dragged = nenpyo(browser, "view")
    assert dragged["from"] - before["from"] == pytest.approx(200 / before["pixelsPerYear"], rel=0.05)
    canvas.send_keys(Keys.ARROW_LEFT)
    assert nenpyo(browser, "view")["from"] < dragged["from"]
    canvas.send_keys("+")
    assert nenpyo(browser, "view")["pixelsPerYear"] == pytest.approx(dragged["pixelsPerYear"] * 1.5)
    browser.find_element(By.ID, "zoom-all").click()
    assert nenpyo(browser, "view")["pixelsPerYear"] == pytest.approx(view["pixelsPerYear"])


@pytest.mark.parametrize("typed, year", [("1868", 1868), ("平成元年", 1989), ("H1", 1989), ("明治", 1868),
                                         ("１６００年", 1600)])
def test_jump_to_a_year_or_an_era_date(browser, pages, typed, year):
    open_page(browser, pages["sample"])
    box = browser.find_element(By.ID, "jump")
    box.send_keys(typed, Keys.ENTER)
    view = nenpyo(browser, "view")
    assert view["from"] < year - 1 < view["to"]
    row = browser.find_element(By.CSS_SELECTOR, "tr.selected")
    assert int(row.find_element(By.CSS_SELECTOR, "td.year").text) >= year
    assert in_table_view(browser, row)


def test_jump_refuses_what_it_cannot_read(browser, pages):
    open_page(browser, pages["sample"])
    for typed in ("平成", "昭和64年", "前660", "令和元年"):
        assert nenpyo(browser, f"parseYear({json.dumps(typed)})") is not None, typed
    for typed in ("", "架空元年", "0", "99999999999", "H0", "<script>"):
        assert nenpyo(browser, f"parseYear({json.dumps(typed)})") is None, typed
    box = browser.find_element(By.ID, "jump")
    box.send_keys("架空元年", Keys.ENTER)
    assert "入力" in browser.find_element(By.ID, "jump-result").get_attribute("value")
    assert nenpyo(browser, "selected") == -1


def in_table_view(driver, element):
    return driver.execute_script("""
        const box = document.getElementById('table-box').getBoundingClientRect();
        const r = arguments[0].getBoundingClientRect();
        return r.top >= box.top && r.bottom <= box.bottom;""", element)


def test_a_click_on_a_band_label_selects_its_row_and_back(browser, pages):
    open_page(browser, pages["sample"])
    browser.find_element(By.ID, "jump").send_keys("1600", Keys.ENTER)
    canvas = browser.find_element(By.ID, "band")
    size = canvas.size
    labels = [l for l in nenpyo(browser, "labels") if 5 < l["x"] < size["width"] - 5]
    assert labels
    label = labels[-1]
    ActionChains(browser).move_to_element_with_offset(
        canvas, int(label["x"] - size["width"] / 2), int(label["y"] - size["height"] / 2)).click().perform()
    assert nenpyo(browser, "selected") == label["index"]
    row = browser.find_element(By.CSS_SELECTOR, "tr.selected")
    assert row.get_attribute("data-row") == str(label["index"])
    assert label["text"].split("\n")[0][:10] in row.find_element(By.CSS_SELECTOR, "td.text").text
    assert in_table_view(browser, row)

    # Back: a row far away brings its event into the band.
    browser.execute_script("document.getElementById('table-box').scrollTop = 0")
    browser.find_element(By.CSS_SELECTOR, "tr[data-row='0'] td.year").click()
    view = nenpyo(browser, "view")
    year = int(browser.find_element(By.CSS_SELECTOR, "tr.selected td.year").text)
    assert view["from"] <= (year - 1 if year > 0 else year) <= view["to"]
    assert any(l["index"] == 0 for l in nenpyo(browser, "labels"))


def test_links_keep_their_addresses(browser, pages):
    open_page(browser, pages["sample"])
    all_rows(browser)
    records = json.loads(run(CORVANE, "export", SAMPLE_LEV))["records"]
    want = [m for r in records for m in re.findall(r'<a href="([^"]*)"', r["text"], re.I)]
    links = browser.execute_script(
        "return Array.from(document.querySelectorAll('#rows a'), (a) => [a.getAttribute('href'), a.rel])")
    assert want and [href for href, _ in links] == [w for w in want if re.match(r"(https?|mailto):", w, re.I)]
    assert all("noopener" in rel for _, rel in links)


def assert_nothing_ran_or_left(driver):
    assert driver.execute_script("return window.marker") is None
    with pytest.raises(NoAlertPresentException):
        driver.switch_to.alert.text
    errors = [e for e in driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
    assert errors == []
    requests = []
    for entry in driver.get_log("performance"):
        message = json.loads(entry["message"])["message"]
        if message["method"] == "Network.requestWillBeSent":
            requests.append(message["params"]["request"]["url"])
    assert [u for u in requests if not u.startswith(("file:", "data:", "about:"))] == []


def test_hostile_texts_run_nothing_and_fetch_nothing(browser, pages):
    open_page(browser, pages["hostile"])
    assert nenpyo(browser, "shownCount") == len(HOSTILE_TEXTS)
    rows = all_rows(browser)
    assert any("window.marker=1" in " ".join(r) for r in rows)   # shown as words
    hrefs = browser.execute_script("return Array.from(document.querySelectorAll('a'), (a) => a.href)")
    assert hrefs == ["http://127.0.0.1:9/x"]
    assert browser.execute_script("return document.querySelectorAll('script, img, svg, iframe, style').length") == 3
    # Drive it: search, zoom over every label, click each one.
    browser.find_element(By.ID, "search").send_keys("marker", Keys.ENTER)
    browser.find_element(By.ID, "zoom-all").click()
    canvas = browser.find_element(By.ID, "band")
    size = canvas.size
    for label in nenpyo(browser, "labels"):
        if 0 < label["x"] < size["width"]:
            ActionChains(browser).move_to_element_with_offset(
                canvas, int(label["x"] - size["width"] / 2), int(label["y"] - size["height"] / 2)).click().perform()
    for cell in browser.find_elements(By.CSS_SELECTOR, "#rows td.year"):
        browser.execute_script("arguments[0].scrollIntoView({block: 'center'})", cell)
        cell.click()
    assert_nothing_ran_or_left(browser)


def test_the_sample_fetches_nothing_and_logs_no_error(browser, pages):
    open_page(browser, pages["sample"])
    browser.find_element(By.ID, "zoom-in").click()
    all_rows(browser)
    assert_nothing_ran_or_left(browser)


def measure(driver, path):
    driver.get("about:blank")
    started = time.perf_counter()
    open_page(driver, path)
    wall = time.perf_counter() - started
    timings = nenpyo(driver, "timings")
    steps = [nenpyo(driver, f"zoomStep({factor})") for factor in [1.5] * 12 + [1 / 1.5] * 12]
    rendered = nenpyo(driver, "renderedRows()")
    driver.execute_script("document.getElementById('table-box').scrollTop = 1e9")
    time.sleep(0.3)
    return {"bytes": path.stat().st_size, "first_view_ms": round(timings["firstView"]),
            "script_ms": round(timings["script"]), "open_wall_s": round(wall, 2),
            "zoom_step_max_ms": round(max(steps), 1), "zoom_step_median_ms": round(sorted(steps)[12], 1),
            "rows_drawn_at_start": rendered, "rows": nenpyo(driver, "shownCount"),
            "rows_drawn_after_scroll_to_end": nenpyo(driver, "renderedRows()")}


def test_large_pages_sizes_and_timings(browser, pages):
    # The sample gives what any page costs on this machine (the browser's own work).
    figures = {name: measure(browser, pages[key]) for name, key in (("sample", "sample"), ("10^4", "e4"),
                                                                     ("10^5", "e5"))}
    for name, seconds in pages["write_seconds"].items():
        figures[name]["nenpyo_html_s"] = round(seconds, 2)
    report = "\n".join(f"{name}: {json.dumps(values)}" for name, values in figures.items())
    TIMINGS.write_text(report + "\n", encoding="utf-8")
    print(report)
    assert figures["10^4"]["bytes"] < 3_000_000
    for values in (figures["10^4"], figures["10^5"]):
        assert values["rows_drawn_at_start"] <= 100
        assert values["rows_drawn_after_scroll_to_end"] < values["rows"]
    assert_nothing_ran_or_left(browser)


def test_printing_shows_the_band_and_every_row(browser, pages):
    open_page(browser, pages["sample"])
    browser.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    try:
        assert len(all_rows(browser)) == nenpyo(browser, "shownCount")
        style = lambda id, key: browser.execute_script(  # noqa: E731
            "return getComputedStyle(document.getElementById(arguments[0]))[arguments[1]]", id, key)
        assert style("controls", "display") == "none"
        assert style("band", "display") == "block"
        assert style("table-box", "overflow") == "visible"
    finally:
        browser.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
    pdf = browser.execute_cdp_cmd("Page.printToPDF", {})["data"]
    assert len(pdf) > 10_000
