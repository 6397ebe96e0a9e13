#pragma once

// Tool tips show their widget's text as it is: Qt guesses markup in a tool tip and would load an image that
// a <img src=...> names, and the texts come from dictionaries and hosts. Installed once for the whole
// application; later calls do nothing.
void ShowToolTipsAsPlainText();

class QString;
// Text as the markup of a tool tip that shows it as it is, on one line.
QString ToolTipOfPlainText(const QString& Text);
