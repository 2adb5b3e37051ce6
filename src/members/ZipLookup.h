#pragma once

#include <QString>

#include <functional>

class QWidget;

// The zip-code lookup the member editor offers, installed by the program at start.
// `search` is the typed zip code or dong (may be empty); `openWhenNone` opens the
// window for a new search when nothing was found. True with the chosen code and address.
using ZipLookupFn = std::function<bool(QWidget* parent, const QString& search, bool openWhenNone, QString* post,
                                       QString* addr)>;
void SetZipLookup(ZipLookupFn fn);
const ZipLookupFn& ZipLookup();
