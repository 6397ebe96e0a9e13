"""The real lesson program started for an AT-SPI test, in one language, with a link folder of its own."""
import os
import subprocess
import sys
import tempfile

import atspi_probe as probe

# What each language calls the controls the tests look for.
NAMES = {
    "en": {"next": "Next", "about": "About", "exit": "Exit", "ok": "OK", "memo": "Explanation",
           "formula": "Formula", "slider_c": "c, the modulus", "length": "Series length ",
           "random": "Random area: 17 cells, the series hits 4: 0, 1, 4, 5", "histogram": "Histogram: 30 bins",
           "correlation": "Correlation graph: 150 points", "about_key": "a", "exit_key": "e",
           "why": "Why?", "full_period": "Full period", "insight_series": "Series length 151 = 1 + 150", "show_lines": "show the lines"},
    "de": {"next": "Weiter", "about": "Über", "exit": "Beenden", "ok": "OK", "memo": "Erklärung",
           "formula": "Formel", "slider_c": "c, der Modul", "length": "Serienlänge ",
           "random": "Zufallsfläche: 17 Felder, die Serie trifft 4: 0, 1, 4, 5", "histogram": "Histogramm: 30 Klassen",
           "correlation": "Korrelationsgraph: 150 Punkte", "about_key": "Udiaeresis", "exit_key": "b",
           "why": "Warum?", "full_period": "Volle Periode", "insight_series": "Serienlänge 151 = 1 + 150", "show_lines": "Geraden zeigen"},
}


class Lesson:
    def __init__(self, program, language):
        self.names = NAMES[language]
        self.runtime = tempfile.TemporaryDirectory()
        os.chmod(self.runtime.name, 0o700)
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime.name, LANGUAGE=language, LANG="C.UTF-8")
        self.process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL)
        self.app = probe.find_app("sewella", timeout=20)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=10)
        self.runtime.cleanup()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def find(self, role, name, *states):
        return probe.find(self.app, role, name, with_states=("showing",) + states)

    def about_dialog_open(self):
        return bool(probe.find_all(self.app, "dialog", "*", ("showing",)))

    def explanation(self):
        return probe.text(self.find("text", self.names["memo"]))

    def formula(self):
        return probe.text(self.find("text", self.names["formula"]))

    def focused(self):
        """(role, name) of the object with the keyboard focus, or None."""
        # Qt reports the current tab as focused whatever has the focus
        found = [a for a in probe.find_all(self.app, "*", "*", ("focused", "showing")) if probe.role(a) != "page tab"]
        return (probe.role(found[-1]), probe.name(found[-1])) if found else None

    def series_length(self):
        found = [a for _, a in probe.walk(self.app)
                 if probe.name(a).startswith(self.names["length"]) and probe.has_state(a, "showing")]
        return probe.name(found[0]) if found else ""

    def showing_text_starting(self, start):
        """Whether a shown object's name begins with start."""
        return any(probe.name(a).startswith(start) and probe.has_state(a, "showing") for _, a in probe.walk(self.app))

    def unnamed_focusable(self):
        """The focusable objects on screen that a screen reader could only call by their role."""
        return [probe.line(a) for a in probe.find_all(self.app, "*", "", ("showing", "focusable"))]

    def wait_for_new_explanation(self, old):
        probe.wait_until(lambda: self.explanation() != old, what="a new explanation")
        return self.explanation()


failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def run_in_both_languages(walk, errors=()):
    """walk(program, language) for English and German; the exit status says whether every check held."""
    for language in ("en", "de"):
        try:
            walk(sys.argv[1], language)
        except (probe.ProbeError, *errors) as error:
            check(False, f"{language}: {error}")
    print("FAILED" if failures else "ok")
    return 1 if failures else 0
