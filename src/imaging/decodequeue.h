#pragma once

#include <QFuture>
#include <QList>
#include <QUrl>

#include <functional>

#include "imaging/imagecache.h"

// Decodes the photos an output rendering is about to draw, ahead of the
// drawing and on the image cache's loading pool.
//
// A first pass over the page notes each photo with its device scale and
// rotation (note()); start() then decodes them in that order, a few at a
// time, so that memory stays bounded however many photos the page holds.
// The drawing pass takes each picture as it comes to it (take()), waiting
// only when its decode has not finished yet. Everything runs on the GUI
// thread except the decoding itself.
class DecodeQueue
{
public:
    // Told after each picture is taken, with the pictures taken so far and
    // the number noted; returning false cancels the rest of the render.
    using Progress = std::function<bool(int taken, int noted)>;

    DecodeQueue();
    // Waits for decodes still running.
    ~DecodeQueue();

    Q_DISABLE_COPY(DecodeQueue)

    void note(const QUrl &url, const ImageCache::LevelKey &deviceKey);
    void start();
    // The decode noted for `url` under `deviceKey`; it leaves the queue
    // when it has served as many draws as were noted. An empty result when
    // none was noted, so that the caller decodes itself.
    ImageCache::OutputDecode take(const QUrl &url, const ImageCache::LevelKey &deviceKey);

    int count() const { return int(m_entries.size()); }

    // Called from take(), on the GUI thread and between two pictures: the
    // place where whoever shows the wait may let the interface breathe.
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Once cancelled, take() hands out nothing and the drawing goes on
    // without pictures, quickly.
    bool isCancelled() const { return m_cancelled; }
    // Decodes started and not yet taken by any draw; for tests.
    int inFlight() const;

private:
    struct Entry
    {
        QUrl url;
        ImageCache::LevelKey key;
        QFuture<ImageCache::OutputDecode> decode;
        // Draws still to serve: a picture drawn alike in several places,
        // or in several bands of a page, is decoded once.
        int uses = 1;
        bool started = false;
        bool taken = false;
    };

    void fillWindow();
    static void launch(Entry &entry);

    QList<Entry> m_entries;
    Progress m_progress;
    int m_noted = 0;
    int m_taken = 0;
    bool m_cancelled = false;
    bool m_running = false;
    int m_window = 2;
};
