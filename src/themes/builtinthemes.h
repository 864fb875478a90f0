#pragma once

#include <QByteArray>

// The theme kinds Tesselo ships, registered once at start-up.
namespace BuiltInThemes {
inline const QByteArray PhotoDropId = QByteArrayLiteral("com.quorvane.collage.theme.photodrop");
inline const QByteArray MosaicId = QByteArrayLiteral("com.quorvane.collage.theme.mosaic");
inline const QByteArray RowsId = QByteArrayLiteral("com.quorvane.collage.theme.rows");

void registerAll();
} // namespace BuiltInThemes
