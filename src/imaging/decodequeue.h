#pragma once

#include <QFuture>
#include <QList>
#include <QUrl>

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
    DecodeQueue();
    // Waits for decodes still running.
    ~DecodeQueue();

    DecodeQueue(const DecodeQueue &) = delete;
    DecodeQueue &operator=(const DecodeQueue &) = delete;

    void note(const QUrl &url, const ImageCache::LevelKey &deviceKey);
    void start();
    // The decode noted for `url` under `deviceKey`, taken out of the queue;
    // an empty result when none was noted, so that the caller decodes
    // itself.
    ImageCache::OutputDecode take(const QUrl &url, const ImageCache::LevelKey &deviceKey);

    int count() const { return int(m_entries.size()); }
    // Decodes started and not yet taken; for tests.
    int inFlight() const;

private:
    struct Entry
    {
        QUrl url;
        ImageCache::LevelKey key;
        QFuture<ImageCache::OutputDecode> decode;
        bool started = false;
    };

    void fillWindow();
    static void launch(Entry &entry);

    QList<Entry> m_entries;
    bool m_running = false;
    int m_window = 2;
};
