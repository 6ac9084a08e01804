#pragma once

#include <QString>

// Simplified, then every "'" a blank: the form in which the texts typed on a page (customer
// fields, article texts) are stored and printed. The order matters: " ' " becomes three blanks.
QString cleanedText(const QString &text);
