#pragma once
// The real lesson window, created as the program creates it, with a count of the chart's paints.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

#include <sstream>

#include "app/Mainform.h"
#include "chart/Quarn_rchart.h"
#include "hostlink/TarvosDemon.h"
#include "translate/Babelfish2000.h"

class LessonWindow : public ::testing::Test {
protected:
    LessonWindow() : Form(QStringList{QCoreApplication::applicationFilePath()})
    {
        // the lesson draws its overlays from the same event
        Form.RChart1->OnDataRendered = [this, overlay = Form.RChart1->OnDataRendered](
                                           QObject* Sender, TCanvas*& Canvas, int Top, int Left) {
            ++Paints;
            overlay(Sender, Canvas, Top, Left);
        };
    }

    void ClickNext(int Times)
    {
        for (int i = 0; i < Times; ++i)
            Form.SBNext->click();
    }

    void GoToFreeStep()
    {
        Form.SBReset->click();
        ClickNext(12);
        ASSERT_EQ(Form.Lesson().CurrentStep(), 13);
    }

    // What the learner's drag ends with: the slider's position for value v (sliders run upside down).
    static void Drag(QScrollBar* Slider, int Value) { Slider->setValue(Slider->maximum() + Slider->minimum() - Value); }

    // All four parameters from the sliders, c first since it narrows the others.
    void SetParameters(int A, int B, int C, int X)
    {
        Drag(Form.ScrollBarC, C);
        Drag(Form.ScrollBarA, A);
        Drag(Form.ScrollBarB, B);
        Drag(Form.ScrollBarX, X);
    }

    void LoadDictionary(const std::string& Records)
    {
        std::istringstream stream(Records);
        ASSERT_TRUE(Form.Demon()->Translator().LoadFromStream(stream));
    }

    TForm1 Form;
    int Paints = 0;
};
