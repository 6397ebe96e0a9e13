#!/usr/bin/python3
"""The lesson as a screen reader meets it, in English and German: every control on screen that takes the
focus has a name; Next works through its action and the explanation and the series length follow; the
chart describes what it shows and announces each new picture; a slider takes a value set through it; the
insight panel opened through the Why? button has a name for everything that takes the focus.
Prints what a screen reader reads at steps 1, 8, 10 and 12. Usage: lesson_screen_reader.py SEWELLA"""
import sys

import atspi_probe as probe
from gi.repository import Atspi, GLib
from lesson_session import Lesson, check, run_in_both_languages

def say_step(lesson, step):
    next_button = lesson.find("push button", lesson.names["next"])
    charts = probe.find_all(lesson.app, "chart", "*", ("showing",))
    print(f"  step {step}: [{probe.name(next_button)}, button] {probe.description(next_button)}")
    print(f"    {lesson.series_length() or '(series length hidden)'}")
    if charts:
        print(f"    [{probe.name(charts[0])}, chart] {probe.description(charts[0])}")


def description_events_while(action, seconds=2.0):
    """The sources of description changes announced while action runs."""
    seen = []
    listener = Atspi.EventListener.new(lambda event: seen.append(probe.role(event.source)))
    listener.register("object:property-change:accessible-description")
    GLib.timeout_add(200, lambda: (action(), False)[1])
    GLib.timeout_add(int(seconds * 1000), lambda: (Atspi.event_quit(), False)[1])
    Atspi.event_main()
    listener.deregister("object:property-change:accessible-description")
    return seen


def walk_the_lesson(program, language):
    print(f"{language}:")
    with Lesson(program, language) as lesson:
        names = lesson.names
        lesson.find("dialog", "*")
        check(not lesson.unnamed_focusable(), f"{language} About dialog: unnamed {lesson.unnamed_focusable()}")
        probe.do_action(lesson.find("push button", names["ok"]), "Press")
        probe.wait_until(lambda: not lesson.about_dialog_open(), what="the About dialog closed")

        next_button = lesson.find("push button", names["next"])
        explanation = lesson.explanation()
        check(probe.description(next_button) == explanation, f"{language}: Next describes the explanation")
        say_step(lesson, 1)
        check(lesson.series_length() == "", f"{language}: the series length is hidden at step 1")
        expected_charts = {8: names["random"], 10: names["histogram"], 12: names["correlation"]}
        for step in range(2, 14):
            check(not lesson.unnamed_focusable(), f"{language} step {step - 1}: unnamed {lesson.unnamed_focusable()}")
            probe.do_action(next_button, "Press")
            explanation = lesson.wait_for_new_explanation(explanation)
            if step == 10:
                check(lesson.series_length() == names["length"] + "118", f"{language}: series length at step 10")
            if step in expected_charts:
                say_step(lesson, step)
                chart = lesson.find("chart", "*")
                check(probe.description(chart).startswith(expected_charts[step]),
                      f"{language} step {step}: chart says '{probe.description(chart)}'")
        check(not lesson.unnamed_focusable(), f"{language} step 13: unnamed {lesson.unnamed_focusable()}")

        slider = lesson.find("slider", names["slider_c"])
        check(probe.value(slider) == (1, 906, 1000), f"{language}: slider c reads {probe.value(slider)}")
        announced = description_events_while(lambda: probe.set_value(slider, 10))
        probe.wait_until(lambda: "mod 10;" in lesson.formula(), what="the formula for c = 10")
        check("chart" in announced, f"{language}: the new picture was announced ({announced})")
        print(f"  step 13, c set to 10: {lesson.formula()}; {lesson.series_length()}")

        why = lesson.find("check box", names["why"])
        probe.do_action(why, "Toggle" if "Toggle" in probe.actions(why) else "Press")
        probe.wait_until(lambda: lesson.showing_text_starting(names["full_period"]), what="the insight panel")
        check(not lesson.unnamed_focusable(), f"{language} insight panel: unnamed {lesson.unnamed_focusable()}")
        print("  Why? opened the insight panel; everything on it that takes the focus has a name")


if __name__ == "__main__":
    sys.exit(run_in_both_languages(walk_the_lesson, ()))
