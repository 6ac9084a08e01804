#pragma once

#include "printing/records/inventur.h"

#include <QByteArray>

#include <functional>

// The stock as the online shop reads it: the shop layout's 19 columns, Windows-1252, CR LF,
// up to five pictures per article embedded as Base64. Appends the header line and one line per
// article of the list, in list order, that the filter takes, to out; a picture file is read
// only for an article that gets its line. The caller's buffer is written straight into, so the
// upload's request body holds the file once.
void inventurShopCsv(const InventurListe &liste,
    const std::function<bool(const InventurArtikel &)> &filter, QByteArray &out);
