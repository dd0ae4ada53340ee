#pragma once
// Draws one cutting pattern to scale: the plate in grey (waste), pieces labelled with their
// identifier and size, reusable offcuts hatched, and the cuts numbered in cutting order.

#include <QRectF>

#include "files/EngineResult.h"

class QPainter;

struct PaintOptions {
    bool cutOrder = true;
    bool labels = true;
};

// Draws into `target`, keeping the plate's proportions; the plate's origin is its lower-left
// corner, as the result file gives positions.
void PaintPattern(QPainter& painter, const ResultPattern& pattern, const QRectF& target,
                  const PaintOptions& options = {});

// "3210.0 x 2250.0" of two lengths in tenths of a millimetre.
QString SizeText(engine::Length width, engine::Length height);
