#pragma once
// sewella --export: a picture or the numbers of one generator for a worksheet, written without a window.

#include <optional>
#include <string>
#include <variant>

#include <QString>
#include <QStringList>

#include "app/USewella.h"

struct TExportRequest {
    QString File;  // a .csv file gets the numbers, any other the picture (PNG)
    TView View = TView::RandomArea;
    int A = 0, B = 0, C = 1, X1 = 0;
    int Scale = 1;
    std::optional<std::string> Language;  // "en" or "de"; else the lesson's own choice
};

// The arguments after --export FILE's "--export"; the request, or one line that names what is wrong.
std::variant<TExportRequest, QString> ParseExportRequest(const QStringList& Arguments);

// Writes what the request asks for; 0 when written, else 1 after one line on standard error.
int RunExport(const TExportRequest& Request, const std::string& ProgramPath);
