#include "members/ZipLookup.h"

namespace {
ZipLookupFn& current() {
    static ZipLookupFn fn;
    return fn;
}
} // namespace

void SetZipLookup(ZipLookupFn fn) { current() = std::move(fn); }
const ZipLookupFn& ZipLookup() { return current(); }
