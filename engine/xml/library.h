#pragma once
// One-time set-up of libxml2 for this program: parser initialisation, the
// Shift_JIS encoding aliases and the external entity loader.

namespace trelmo::xml::detail {

// Safe to call from any thread, any number of times.
void initLibrary();

}  // namespace trelmo::xml::detail
