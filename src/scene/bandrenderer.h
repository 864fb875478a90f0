#pragma once

#include <QSize>

#include <memory>

#include "imaging/decodequeue.h"

class Document;
class QImage;
class QPainter;
class Scene;

// Draws a page into an output of a given size one horizontal band after
// another, so that a large page never has to exist whole in memory. One
// scene and one decode queue serve all bands: every photo is decoded once
// and let go after the last band that shows it.
//
//     output                 bands
//   +---------+            +---------+  top = 0
//   |  page   |            |---------|  top = h
//   |         |    ==>     |---------|  top = 2h
//   +---------+            +---------+  (the last may be shorter)
//
// The bands together are the page drawn whole, as DocumentRenderer draws
// it: the page fitted into the output from its top left corner.
class BandRenderer
{
public:
    BandRenderer(Document *document, const QSize &size);
    ~BandRenderer();

    Q_DISABLE_COPY(BandRenderer)

    void setProgress(DecodeQueue::Progress progress);
    // Notes which photos each band of `bandHeight` rows draws and starts
    // decoding them. Call once, before the first band.
    void plan(int bandHeight);
    // Draws rows top .. top + band height - 1 of the output into `band`,
    // which holds the background. False once the progress cancelled.
    bool drawBand(QImage *band, int top);
    bool isCancelled() const { return m_queue.isCancelled(); }

private:
    void paintBand(QPainter *painter, int top, int height);

    QSize m_size;
    std::unique_ptr<Scene> m_scene;
    DecodeQueue m_queue;
    int m_bandHeight = 0;
};
