#pragma once

#include "ReportLayout.h"

#include <QString>

class QPrinter;

namespace report {

// The report as a PDF file: made in memory, then written whole through a temporary file
// beside the target (store::writeWholeFile), for the owner alone. Answers an error text,
// empty on success; on failure the target is as it was.
QString writePdfFile(const QString& path, const ReportDocument& document);

// The report on a printer set to print to a file (the print dialog's "print to file",
// outputFileName() set): the printer paints to a temporary file beside the target, which
// takes the target's place only when it is a whole PDF. The printer keeps its file name.
// Answers an error text, empty on success; on failure the target is as it was.
QString printToFile(QPrinter& printer, const ReportDocument& document);

// What keeps the file from being a whole PDF, empty when it is one: the printer does not
// tell a write that failed, so a file cut short by a full disk is found by its end. A
// whole file ends with the trailer, whose startxref names the offset where the
// cross-reference table begins.
QString pdfFileProblem(const QString& path);

} // namespace report
