#pragma once

#include <QString>

// Reads the Code 39 bars of a printed label back, as a scanner at the till would: renders the
// left 100 mm of the PDF's first page at 600 dpi and decodes the first pixel row that holds a
// whole symbol. The code without its start and stop characters; empty when none reads.
QString readBars(const QString &pdf);
