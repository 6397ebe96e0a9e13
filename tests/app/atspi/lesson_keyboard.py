#!/usr/bin/python3
"""The lesson with the keyboard alone, as a learner types it on the real window (xdotool through XTest), in
English and German: Return closes the first About dialog and leaves the focus on Next; Space walks all
steps; Tab follows the window; the slider keys change the value; the mnemonic opens About, Escape closes
it, and the mnemonic of Exit ends the program. Usage: lesson_keyboard.py SEWELLA"""
import subprocess
import sys

import atspi_probe as probe
from lesson_session import Lesson, check, run_in_both_languages

def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True, timeout=30)


def tab_cycle(lesson, length):
    """What Tab visits, as (role, name), starting from the focused object."""
    visited = []
    for _ in range(length):
        keys("Tab")
        probe.wait_until(lambda: lesson.focused() not in (None, visited[-1] if visited else None),
                         what="the focus to move")
        visited.append(lesson.focused())
    return visited


def walk_the_lesson(program, language):
    print(f"{language}:")
    with Lesson(program, language) as lesson:
        names = lesson.names
        lesson.find("dialog", "*")
        probe.wait_until(lambda: lesson.focused() == ("push button", names["ok"]), what="focus on OK")
        keys("Return")
        probe.wait_until(lambda: not lesson.about_dialog_open(), what="Return to close About")
        probe.wait_until(lambda: lesson.focused() == ("push button", names["next"]), what="focus on Next")

        explanation = lesson.explanation()
        for _ in range(2, 14):
            keys("space")
            explanation = lesson.wait_for_new_explanation(explanation)
        print(f"  Space x12: step 13 reached, Next is {'enabled' if probe.has_state(lesson.find('push button', names['next']), 'enabled') else 'disabled'}")

        visited = tab_cycle(lesson, 10)
        print("  Tab visits:", ", ".join(f"{role} '{name}'" for role, name in visited))
        roles = [role for role, _ in visited]
        check(roles.count("slider") == 4 and "chart" in roles and roles.count("push button") == 3
              and ("check box", names["why"]) in visited, f"{language}: Tab order {visited}")
        while lesson.focused() != ("slider", names["slider_c"]):
            keys("Tab")
        for key, change in (("Up", 1), ("Prior", 5), ("Down", -1), ("Next", -5)):
            before = lesson.formula()
            keys(key)
            probe.wait_until(lambda: lesson.formula() != before, what=f"{key} to change the formula")
            old_c = int(before.split("mod ")[1].split(";")[0])
            new_c = int(lesson.formula().split("mod ")[1].split(";")[0])
            check(new_c - old_c == change, f"{language}: {key} moved c from {old_c} to {new_c}")

        walk_the_insight_panel(lesson, language)

        keys(f"alt+{names['about_key']}")
        probe.wait_until(lambda: lesson.focused() == ("push button", names["ok"]), what="the About mnemonic")
        keys("Escape")
        probe.wait_until(lambda: not lesson.about_dialog_open(), what="Escape to close About")
        keys(f"alt+{names['exit_key']}")
        check(lesson.process.wait(timeout=10) == 0, f"{language}: the Exit mnemonic ends the program")
        print("  Alt mnemonics: About opened, Escape closed it, Exit ended the program")


def walk_the_insight_panel(lesson, language):
    """Ctrl+I opens the panel, F6 moves into it, Tab and Space work its switches, Ctrl+I closes it."""
    names = lesson.names
    keys("ctrl+i")
    probe.wait_until(lambda: lesson.showing_text_starting(names["insight_series"]), what="the panel's series")
    keys("F6")
    for _ in range(12):
        if lesson.focused() == ("check box", names["show_lines"]):
            break
        keys("Tab")
    check(lesson.focused() == ("check box", names["show_lines"]), f"{language}: Tab reaches the lines switch")
    keys("space")
    switch = lesson.find("check box", names["show_lines"])
    probe.wait_until(lambda: probe.has_state(switch, "checked"), what="Space to switch the lines on")
    keys("F6")
    keys("ctrl+i")
    probe.wait_until(lambda: not lesson.showing_text_starting(names["insight_series"]), what="Ctrl+I to close")
    print("  Ctrl+I opened the panel, F6 and Tab reached its switch, Space set it, Ctrl+I closed it")


if __name__ == "__main__":
    sys.exit(run_in_both_languages(walk_the_lesson, (subprocess.SubprocessError,)))
