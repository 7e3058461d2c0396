// The one shared, static, empty text that splitters point unused entries at.
#pragma once

// Never written; every splitter entry that holds nothing points here, so a
// reader may read any entry without checking for null.
extern const char vesk_emptyText[1];
