#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A block of cells as spreadsheets put it on the clipboard: lines separated by line
// breaks, cells by tabs, a cell holding a tab, a line break or a quote written in quotes
// with inner quotes doubled. A last empty line (the line break after the block) is not
// a line of the block.
std::vector<QStringList> parseCellBlock(const QString& text);
QString formatCellBlock(const std::vector<QStringList>& block);
