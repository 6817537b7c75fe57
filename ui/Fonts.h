#pragma once
// The wizard's type faces mapped to installed faces of similar metrics: Verdana and Tahoma to DejaVu Sans,
// Arial to Liberation Sans. Chinese text falls back to Noto Sans CJK. Sizes are pixels.

#include <QFont>
#include <QString>

namespace vrx::ui {

enum class Face { Verdana, Tahoma, Arial };

QFont UiFont(Face face, int pixelSize, bool bold = false);

// Installed family that stands in for a face, and the face named by the Windows family name ("Verdana", ...).
QString FamilyFor(Face face);
Face FaceFromName(const QString& windowsFamily);

}  // namespace vrx::ui
