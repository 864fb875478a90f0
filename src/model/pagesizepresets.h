#pragma once

#include <QList>

#include "model/pagesize.h"

// The built-in page sizes offered for new collages, most used first.
namespace PageSizePresets {
QList<PageSize> builtIn();
// The preset whose display name matches, ignoring case; an invalid page
// size when none does.
PageSize find(const QString &displayName);
} // namespace PageSizePresets
